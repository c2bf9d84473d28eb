#pragma once
// The Jet SQL the program writes, read by a small tokenizer and turned into SQLite text.
// Only the places where the two dialects differ are rewritten; values are never pasted
// into the text by this layer (callers' literals are re-quoted token by token).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pvjet {

enum class TokKind { Space, Word, Bracket, String, Number, Date, Punct };

struct Token {
    TokKind kind;
    std::string text;  // Word/Number/Punct: as written; Bracket: the name; String: decoded; Date: inside #..#
    size_t pos = 0;    // byte offset of the token in the source
    size_t end = 0;    // one past its last byte
};

// Splits Jet SQL into tokens. Returns false (and a reason) on an unterminated string,
// bracket or date literal.
bool Tokenize(std::string_view sql, std::vector<Token>& out, std::string* error = nullptr);

// True when token k is a part of a qualified name (beside a '.'): a name, never a keyword.
bool IsQualifiedPart(const std::vector<Token>& toks, size_t k);

// Upper-case ASCII copy of a word, for keyword tests.
std::string UpperWord(std::string_view w);
bool IsWord(const Token& t, const char* upperKeyword);

// Quotes a name as an SQLite identifier ([name]); a name holding ']' is double-quoted.
std::string QuoteName(std::string_view name);
// Quotes text as an SQLite string literal.
std::string QuoteString(std::string_view text);

// Jet date literal (#m/d/yyyy [h:mm[:ss] [AM|PM]]#, #yyyy-mm-dd ...#) as an OLE date number.
bool ParseJetDate(std::string_view text, double& oleDate);

// A statement translated for SQLite.
struct Translation {
    std::string sql;         // the SQLite text
    std::string verb;        // first keyword, upper case (SELECT, UPDATE, CREATE, ...)
    std::string error;       // non-empty when the text could not be read
};
Translation Translate(std::string_view jetSql);

// Jet's LIKE: * any run, ? one character, # one digit, [abc] [a-z] [!abc] sets; no regard
// to case. Works on whole UTF-8 characters.
bool JetLike(std::string_view pattern, std::string_view value);

// Shape of a SELECT, found at nesting depth 0; npos where a clause is absent.
struct SelectShape {
    bool isSelect = false;
    size_t fromTok = npos, whereTok = npos, groupTok = npos, havingTok = npos, orderTok = npos;
    bool distinct = false, compound = false, aggregate = false;
    bool singleTable = false;   // FROM names one table, no join, no subquery
    std::string table;          // that table
    std::string qualifier;      // its alias, or the table name
    static constexpr size_t npos = size_t(-1);
};
SelectShape AnalyzeSelect(const std::vector<Token>& toks);

// Applies a filter and a sort the way a recordset's Open and Requery do: the filter is
// and-ed with an existing WHERE, the sort replaces an existing ORDER BY. Returns Jet text.
std::string ApplyFilterAndSort(const std::string& jetSql, const std::string& filter, const std::string& sort);

}  // namespace pvjet
