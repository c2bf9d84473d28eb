#pragma once
// The details template language: sections, conditional blocks, value lists, list references,
// related-table rows and the title bar, expanded for one person. The expander never touches a
// database or the screen itself; the page builder (CBuildHtm) supplies both through
// DetailsSource, and tests and the fuzzer supply their own.
//
// The template is outside input. Every search moves forward through its text, so no template
// makes the expansion loop or read outside it; a damaged template gives a report and a page.

#include <memory>
#include <string>
#include <string_view>

// The rows of one per-record query, read once, in order.
class DetailsRows {
public:
    virtual ~DetailsRows() = default;
    virtual bool IsEOF() = 0;
    virtual void MoveNext() = 0;
    // The current row's stored text of the field (empty for a null); false when the rows have
    // no such field.
    virtual bool Read(const std::string& field, std::string& stored) = 0;
};

class DetailsSource {
public:
    virtual ~DetailsSource() = default;
    // The person's rows of one table, or null when the query cannot be opened.
    virtual std::unique_ptr<DetailsRows> Query(const std::string& table) = 0;
    // The plain text of a non-empty stored value; empty when it cannot be obtained.
    virtual std::string Decode(const std::string& stored) = 0;
    // A failure for the user: through the builder's error report, or (plainBox) in a plain
    // message box of its own.
    virtual void Report(const std::string& text, bool plainBox) = 0;
};

// Builds the page from the template's joined lines: the sections and the text around them up
// to the end of the first "</HTML>" (a section tag after it counts for nothing). The build
// stops at the first broken page structure (no "</HTML>", a section without closer) with the
// text assembled so far. title receives the last non-empty title bar as plain text, or is empty
// when no title bar has a value.
std::string ExpandDetailsTemplate(std::string_view text, DetailsSource& source, std::string& title);

// The path placeholders' values, replaced in this order.
struct DetailsPlaceholders {
    std::string media, dataPath, graphic, image, photo;
};
void ReplaceDetailsPlaceholders(std::string& page, const DetailsPlaceholders& values);

// A value as page text: '<', '>' and '"' become entities, so that a value never turns into
// markup or cuts an attribute; '&' stays, so that a stored entity keeps working. NUL bytes
// are dropped.
std::string DetailsValueAsHtml(std::string_view value);
