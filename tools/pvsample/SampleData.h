#pragma once
// The made-up school behind a sample directory: people and their related rows, drawn from
// small built-in word lists by a seeded generator, so one seed always gives one school.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pvsample {

// A small, fast generator whose sequence depends only on the seed (splitmix64).
class Rng
{
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t Next();
    // Uniform in [0, n); n > 0.
    uint32_t Below(uint32_t n) { return uint32_t(Next() % n); }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    template <typename T, size_t N>
    const T& Pick(const T (&list)[N]) { return list[Below(uint32_t(N))]; }

private:
    uint64_t m_state;
};

// One searchable or shown text field of a table. Ranked fields get an "_I" rank column.
struct Field {
    std::string name;
    bool ranked = true;
};

// A table of enciphered text fields keyed by _IKEY, rows in insertion order.
struct TextTable {
    std::string name;
    std::vector<Field> fields;
    std::vector<int32_t> keys;               // _IKEY of each row
    std::vector<std::vector<std::string>> rows; // plain values, one per field

    size_t FieldIndex(const std::string& field) const;
    void AddRow(int32_t key, std::vector<std::string> values) { keys.push_back(key); rows.push_back(std::move(values)); }
};

// Dense ranks of one column: equal upper-cased values share a rank; values in upper-cased
// byte order get 2, 3, ...; an empty value gets 1.
std::vector<int32_t> RankColumn(const TextTable& table, size_t field);

struct School {
    TextTable data;        // "Data"
    TextTable activities;  // related: several rows per person
    TextTable awards;
    TextTable family;
    TextTable photos;      // related: one row for each person with a photo
    std::vector<std::string> sections, classes, activityNames;
    std::string name;
};

School MakeSchool(int people, uint64_t seed);

// Plain-text helpers the writer shares.
std::string AsciiFold(const std::string& utf8);

} // namespace pvsample
