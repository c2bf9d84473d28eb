// The template expander on its own, over a made-up person: damaged templates end with a page.
#include "app/DetailsTemplate.h"

#include "tools/pvsample/SampleFiles.h"

#include <gtest/gtest.h>

namespace {

// Every table has two rows whose values name the field; nothing fails.
class FakeSource : public DetailsSource {
public:
    class Rows : public DetailsRows {
    public:
        bool IsEOF() override { return m_row >= 2; }
        void MoveNext() override { ++m_row; }
        bool Read(const std::string& field, std::string& stored) override
        {
            EXPECT_LT(m_row, 2);
            stored = field;
            return true;
        }

    private:
        int m_row = 0;
    };
    std::unique_ptr<DetailsRows> Query(const std::string&) override { return std::make_unique<Rows>(); }
    std::string Decode(const std::string& stored) override { return stored; }
    void Report(const std::string& text, bool) override { reports.push_back(text); }
    std::vector<std::string> reports;
};

} // namespace

// The sample template cut short at every byte: each piece gives a page and at most one
// report about the page's structure, and the whole template has none.
TEST(DetailsTemplate, EveryCutOfTheSampleTemplateEndsWithAPage)
{
    std::string text;
    for (const char* const* line = pvsample::kDetailsTemplate; *line; ++line)
        text += *line;
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        FakeSource source;
        std::string title;
        const std::string page = ExpandDetailsTemplate(std::string_view(text).substr(0, cut), source, title);
        EXPECT_LE(page.size(), 4 * cut + 16) << cut;
        const bool whole = text.find("</HTML>") + 7 <= cut; // the page end is in the piece
        size_t structure = 0;
        for (const std::string& r : source.reports)
            structure += r.rfind("Template Error: ", 0) == 0;
        EXPECT_EQ(structure, whole ? 0u : 1u) << cut;
        if (cut == text.size()) {
            EXPECT_TRUE(source.reports.empty());
            EXPECT_EQ(title, "First Name Last Name");
        }
    }
}

TEST(DetailsTemplate, PlaceholdersInTheirOrder)
{
    std::string page = "<MEDIA>|<DATAPATH>|<GRAPHIC>|<IMAGE>|<PHOTO>|<MEDIA><MEDIA>|<PHOTO";
    // A value holding a later placeholder is replaced again; an earlier one is not.
    ReplaceDetailsPlaceholders(page, { .media = "m<PHOTO>", .dataPath = "<MEDIA>", .graphic = "g", .image = "i", .photo = "p" });
    EXPECT_EQ(page, "mp|<MEDIA>|g|i|p|mpmp|<PHOTO");
}
