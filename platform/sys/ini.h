#pragma once
// An INI file as lines, so that a change touches only the lines it must: comments, blank
// lines, unknown lines and line endings all survive. Names compare without regard to case.
//
//   [Section]        the name runs to the last ']' on the line
//   key = value      key and value trimmed; a value in matching quotes loses them on reading
//   ; comment        anything else is kept and ignored

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pvini {

class IniDocument {
public:
    // Any text is an INI file; nothing fails.
    void parse(std::string_view text);
    std::string serialize() const;

    // Unique names in order of first appearance.
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;
    bool hasSection(std::string_view section) const;
    // The value as stored, trimmed, quotes not yet removed.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;

    // Each returns whether the text changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        std::string text; // without its line ending
        std::string eol;  // "\r\n", "\n" or "" (last line)
        Kind kind = Kind::Other;
        std::string name;  // section or key
        std::string value; // entries only
    };

    static Line classify(std::string text, std::string eol);
    // Index ranges [begin, end) of the lines of each section with that name.
    std::vector<std::pair<size_t, size_t>> sectionRanges(std::string_view section) const;
    std::string newline() const;
    // Makes sure a line is ended before another is put after it.
    static void endLine(Line& line, const std::string& nl);

    std::string m_bom;
    std::vector<Line> m_lines;
};

} // namespace pvini
