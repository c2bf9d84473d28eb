#include "platform/sys/ini.h"

#include "platform/base/textcase.h"

namespace pvini {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) { return a.size() == b.size() && PvCompareNoCase(a, b) == 0; }

void addUnique(std::vector<std::string>& names, const std::string& n)
{
    for (const std::string& have : names)
        if (sameName(have, n))
            return;
    names.push_back(n);
}

} // namespace

IniDocument::Line IniDocument::classify(std::string text, std::string eol)
{
    Line line;
    std::string_view t = trim(text);
    if (!t.empty() && t.front() == '[') {
        size_t close = t.rfind(']');
        std::string_view name = close == std::string_view::npos || close == 0 ? t.substr(1) : t.substr(1, close - 1);
        line.kind = Kind::Section;
        line.name = std::string(trim(name));
    } else if (!t.empty() && t.front() != ';') {
        size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            line.kind = Kind::Entry;
            line.name = std::string(trim(t.substr(0, eq)));
            line.value = std::string(trim(t.substr(eq + 1)));
        }
    }
    line.text = std::move(text);
    line.eol = std::move(eol);
    return line;
}

void IniDocument::parse(std::string_view text)
{
    m_lines.clear();
    m_bom.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        m_bom = "\xEF\xBB\xBF";
        text.remove_prefix(3);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        std::string_view body, eol;
        if (nl == std::string_view::npos) {
            body = text.substr(start);
            start = text.size();
        } else {
            body = text.substr(start, nl - start);
            eol = "\n";
            start = nl + 1;
        }
        if (!body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            eol = eol.empty() ? std::string_view("\r") : std::string_view("\r\n");
        }
        m_lines.push_back(classify(std::string(body), std::string(eol)));
    }
}

std::string IniDocument::serialize() const
{
    std::string out = m_bom;
    for (const Line& l : m_lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

void IniDocument::endLine(Line& line, const std::string& nl)
{
    // A last line may end in nothing, or in a lone CR that only counts at the end of the file.
    if (line.eol.empty())
        line.eol = nl;
    else if (line.eol == "\r")
        line.eol = "\r\n";
}

std::string IniDocument::newline() const
{
    for (const Line& l : m_lines)
        if (l.eol == "\r\n" || l.eol == "\n")
            return l.eol;
    return "\n";
}

std::vector<std::pair<size_t, size_t>> IniDocument::sectionRanges(std::string_view section) const
{
    std::vector<std::pair<size_t, size_t>> ranges;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section || !sameName(m_lines[i].name, section))
            continue;
        size_t end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
            ++end;
        ranges.emplace_back(i, end);
        i = end - 1;
    }
    return ranges;
}

std::vector<std::string> IniDocument::sectionNames() const
{
    std::vector<std::string> names;
    for (const Line& l : m_lines)
        if (l.kind == Kind::Section)
            addUnique(names, l.name);
    return names;
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    for (auto [b, e] : sectionRanges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (m_lines[i].kind == Kind::Entry)
                addUnique(names, m_lines[i].name);
    return names;
}

bool IniDocument::hasSection(std::string_view section) const { return !sectionRanges(section).empty(); }

std::optional<std::string> IniDocument::get(std::string_view section, std::string_view key) const
{
    for (auto [b, e] : sectionRanges(section))
        for (size_t i = b + 1; i < e; ++i)
            if (m_lines[i].kind == Kind::Entry && sameName(m_lines[i].name, key))
                return m_lines[i].value;
    return std::nullopt;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    auto ranges = sectionRanges(section);
    for (auto [b, e] : ranges) {
        for (size_t i = b + 1; i < e; ++i) {
            Line& l = m_lines[i];
            if (l.kind != Kind::Entry || !sameName(l.name, key))
                continue;
            // Keep the key as it is spelled in the file; only the value changes.
            std::string text = l.name + "=" + std::string(value);
            if (text == l.text)
                return false;
            m_lines[i] = classify(std::move(text), l.eol);
            return true;
        }
    }
    std::string nl = newline();
    Line entry = classify(std::string(key) + "=" + std::string(value), nl);
    if (!ranges.empty()) {
        // After the section's last entry (or its header), ahead of trailing comments and blanks.
        auto [b, e] = ranges.front();
        size_t at = b + 1;
        for (size_t i = b + 1; i < e; ++i)
            if (m_lines[i].kind == Kind::Entry)
                at = i + 1;
        endLine(m_lines[at - 1], nl);
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
        return true;
    }
    if (!m_lines.empty())
        endLine(m_lines.back(), nl);
    if (!m_lines.empty() && !trim(m_lines.back().text).empty())
        m_lines.push_back(classify(std::string(), nl));
    m_lines.push_back(classify("[" + std::string(section) + "]", nl));
    m_lines.push_back(std::move(entry));
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key)
{
    bool changed = false;
    auto ranges = sectionRanges(section);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        for (size_t i = it->second; i-- > it->first + 1;) {
            if (m_lines[i].kind == Kind::Entry && sameName(m_lines[i].name, key)) {
                m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
                changed = true;
            }
        }
    }
    return changed;
}

bool IniDocument::removeSection(std::string_view section)
{
    auto ranges = sectionRanges(section);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(it->first),
            m_lines.begin() + static_cast<std::ptrdiff_t>(it->second));
    return !ranges.empty();
}

} // namespace pvini
