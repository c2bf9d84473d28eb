// Message boxes. On the headless desktop a box never blocks: it is written to PV_MSGBOX_LOG and
// answered from PV_MSGBOX_ANSWERS (or its default button), with the same modal side effects as
// on screen: the owner is disabled, loses activation and capture, and gets them back afterwards.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pvwin {
int SdlMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);

namespace {
PvMessageBoxImpl g_impl = nullptr;

struct Answers {
    bool loaded = false;
    std::string source;
    std::vector<std::string> list;
    size_t next = 0;
};
Answers g_answers;

const char* buttonsName(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return "okcancel";
    case MB_ABORTRETRYIGNORE: return "abortretryignore";
    case MB_YESNOCANCEL: return "yesnocancel";
    case MB_YESNO: return "yesno";
    case MB_RETRYCANCEL: return "retrycancel";
    default: return "ok";
    }
}

const char* iconName(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONEXCLAMATION: return "warning";
    case MB_ICONASTERISK: return "information";
    default: return "none";
    }
}

std::vector<int> buttonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

const char* answerName(int id)
{
    switch (id) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDABORT: return "abort";
    case IDRETRY: return "retry";
    case IDIGNORE: return "ignore";
    case IDYES: return "yes";
    case IDNO: return "no";
    default: return "none";
    }
}

int answerId(const std::string& s)
{
    static const char* names[] = {"ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
    static const int ids[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
    for (int i = 0; i < 7; ++i)
        if (s == names[i]) return ids[i];
    return 0;
}

void loadAnswers()
{
    const char* env = std::getenv("PV_MSGBOX_ANSWERS");
    // Read once; a changed variable (tests set it per case) starts a new list.
    if (g_answers.loaded && g_answers.source == (env ? env : "")) return;
    g_answers = Answers {};
    g_answers.loaded = true;
    g_answers.source = env ? env : "";
    if (!env) return;
    std::string cur;
    for (const char* p = env;; ++p) {
        if (*p == ',' || *p == 0) {
            size_t a = cur.find_first_not_of(" \t"), b = cur.find_last_not_of(" \t");
            g_answers.list.push_back(a == std::string::npos ? std::string() : cur.substr(a, b - a + 1));
            cur.clear();
            if (!*p) break;
        } else {
            cur += char(std::tolower(static_cast<unsigned char>(*p)));
        }
    }
}

std::string json(const char* s)
{
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s ? s : ""); *p; ++p) {
        switch (*p) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (*p < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", *p);
                out += buf;
            } else {
                out += char(*p);
            }
        }
    }
    return out + "\"";
}

// A run that has shown this many boxes nobody answered is going round in circles.
constexpr int kMaxUnattendedBoxes = 100;
int g_unanswered = 0;

// The answer that backs out: Cancel, else No, else Abort, else the box's only button.
int cancelLike(const std::vector<int>& buttons)
{
    for (int want : {IDCANCEL, IDNO, IDABORT})
        for (int b : buttons)
            if (b == want) return b;
    return buttons.front();
}

int headlessAnswer(UINT type)
{
    std::vector<int> buttons = buttonsOf(type);
    size_t def = (type & MB_DEFMASK) >> 8;
    int answer = buttons[def < buttons.size() ? def : 0];
    loadAnswers();
    if (g_answers.next < g_answers.list.size()) {
        int want = answerId(g_answers.list[g_answers.next++]);
        for (int b : buttons)
            if (b == want) answer = want; // an answer the box does not offer leaves the default
        return answer;
    }
    // Nobody is left to answer: a box that would come back on its default (Retry) must not
    // keep the program from ending.
    ++g_unanswered;
    if (ScriptExhausted() || g_unanswered >= kMaxUnattendedBoxes) return cancelLike(buttons);
    return answer;
}

void logBox(const char* caption, const char* text, UINT type, int answer)
{
    const char* log = std::getenv("PV_MSGBOX_LOG");
    if (!log || !*log) return;
    if (g_unanswered > kMaxUnattendedBoxes) {
        if (g_unanswered == kMaxUnattendedBoxes + 1)
            std::fprintf(stderr, "PV_MSGBOX_LOG: %d message boxes without an answer; no more are logged\n",
                         kMaxUnattendedBoxes);
        return;
    }
    if (FILE* f = std::fopen(log, "a")) {
        std::fprintf(f, "{\"caption\": %s, \"text\": %s, \"buttons\": \"%s\", \"icon\": \"%s\", \"answer\": \"%s\"}\n",
                     json(caption).c_str(), json(text).c_str(), buttonsName(type), iconName(type), answerName(answer));
        std::fclose(f);
    }
}
} // namespace

void ResetMessageBoxes() { g_unanswered = 0; }
} // namespace pvwin

using namespace pvwin;

void PvSetMessageBoxImpl(PvMessageBoxImpl impl) { g_impl = impl; }

namespace {
PvMessageBoxObserver g_observer = nullptr;
}

void PvSetMessageBoxObserver(PvMessageBoxObserver observer) { g_observer = observer; }

int MessageBox(HWND hOwner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    if (!caption) caption = "Error";
    if (!text) text = "";
    if (!HeadlessMode() && !ScriptedRun()) {
        if (g_impl) return g_impl(hOwner, text, caption, type);
        return SdlMessageBox(hOwner, text, caption, type);
    }
    HWND owner = hOwner ? TopLevelOf(hOwner) : GetActiveWindow();
    if (hOwner && !owner && IsWindow(hOwner)) owner = hOwner;
    HWND focus = GetFocus();
    HWND active = GetActiveWindow();
    if (active) Send(active, WM_CANCELMODE, 0, 0);
    CancelCaptureOf(nullptr);
    bool disabled = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabled = true;
    }
    SetActiveWindow(nullptr);
    // The box's own loop runs before anyone answers, so a headless run sees the same re-entrancy.
    PumpForModalBox();

    if (g_observer) g_observer(text, type);
    int answer = headlessAnswer(type);
    logBox(caption, text, type, answer);

    if (disabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    HWND back = IsWindow(owner) ? owner : (IsWindow(active) ? active : nullptr);
    if (back) SetActiveWindow(back);
    if (focus && IsWindow(focus) && back && (focus == back || IsChild(back, focus)) && GetFocus() != focus)
        SetFocus(focus);
    return answer;
}
