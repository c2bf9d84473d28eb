// Details templates from untrusted input, expanded against a made-up person: the expansion
// must end, stay inside the text, and give a page no larger than the template and the values
// it can draw on allow.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/DetailsTemplate.h"

namespace {

// Up to three rows per table; a table named "N..." cannot be opened and a field named
// "X..." does not exist. Every second row's value is empty; a value "E..." cannot be
// deciphered.
class Rows : public DetailsRows {
public:
    explicit Rows(size_t count) : m_count(count) {}
    bool IsEOF() override { return m_row >= m_count; }
    void MoveNext() override
    {
        if (m_row >= m_count)
            std::abort(); // read past the end
        ++m_row;
    }
    bool Read(const std::string& field, std::string& stored) override
    {
        if (m_row >= m_count)
            std::abort();
        if (!field.empty() && field[0] == 'X')
            return false;
        stored = m_row % 2 ? std::string() : field;
        return true;
    }

private:
    size_t m_count;
    size_t m_row = 0;
};

class Source : public DetailsSource {
public:
    std::unique_ptr<DetailsRows> Query(const std::string& table) override
    {
        ++queries;
        if (table.empty())
            std::abort(); // the expander reports an empty name instead
        if (table[0] == 'N')
            return nullptr;
        return std::make_unique<Rows>(table.size() % 4);
    }
    std::string Decode(const std::string& stored) override
    {
        if (stored.empty())
            std::abort(); // only stored values are deciphered
        return stored[0] == 'E' ? std::string() : stored;
    }
    void Report(const std::string& text, bool) override
    {
        if (text.empty())
            std::abort();
        ++reports;
    }
    size_t queries = 0, reports = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The lines joined without their ends, as the builder reads the file.
    std::string text;
    std::string line;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            text += line;
            line.clear();
        } else {
            line += char(data[i]);
        }
    }

    Source source;
    std::string title;
    std::string page = ExpandDetailsTemplate(text, source, title);
    // Every query is made for some element of the text, and a page cannot outgrow what the
    // text and at most three rows of values give (entities take six bytes for one).
    if (source.queries > text.size() || page.size() > 64 * text.size() + 64)
        std::abort();
    ReplaceDetailsPlaceholders(page, { "m/", "d/", "g/", "i/", "p/" });
    if (title.size() > page.size() + 6 * text.size())
        std::abort();
    return 0;
}
