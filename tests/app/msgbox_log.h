#pragma once
// Captures the message boxes a test shows: points PV_MSGBOX_LOG at a temporary file, optionally
// sets PV_MSGBOX_ANSWERS, and reads the logged boxes back.

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

struct MsgBoxEntry {
    std::string caption, text, buttons, icon, answer;
};

class MsgBoxLog {
public:
    MsgBoxLog()
    {
        m_path = "/tmp/pv_msgbox_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++) + ".log";
        std::remove(m_path.c_str());
        ::setenv("PV_MSGBOX_LOG", m_path.c_str(), 1);
        answers("");
    }
    ~MsgBoxLog()
    {
        std::remove(m_path.c_str());
        ::unsetenv("PV_MSGBOX_LOG");
        ::unsetenv("PV_MSGBOX_ANSWERS");
    }
    // The window system starts a new answer list only when the variable changes, so each call
    // gets a distinct tail; once the answers run out, boxes answer Cancel (never an endless Retry).
    void answers(const char* list)
    {
        std::string value = std::string(list) + (*list ? "," : "");
        for (int i = 0; i < 8; ++i)
            value += "cancel,";
        value += "ok" + std::to_string(counter()++);
        ::setenv("PV_MSGBOX_ANSWERS", value.c_str(), 1);
    }
    void clear() { std::remove(m_path.c_str()); }

    std::vector<MsgBoxEntry> entries() const
    {
        std::vector<MsgBoxEntry> out;
        std::ifstream in(m_path);
        std::string line;
        while (std::getline(in, line)) {
            MsgBoxEntry e;
            e.caption = field(line, "caption");
            e.text = field(line, "text");
            e.buttons = field(line, "buttons");
            e.icon = field(line, "icon");
            e.answer = field(line, "answer");
            out.push_back(e);
        }
        return out;
    }

private:
    std::string m_path;

    static int& counter() { static int n = 0; return n; }

    // The value of "name": "…" in one JSON line, with the escapes the log writes undone.
    static std::string field(const std::string& line, const char* name)
    {
        std::string key = std::string("\"") + name + "\": \"";
        size_t p = line.find(key);
        if (p == std::string::npos)
            return {};
        std::string out;
        for (size_t i = p + key.size(); i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                char c = line[++i];
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            } else {
                out += line[i];
            }
        }
        return out;
    }
};
