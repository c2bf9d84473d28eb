#include "tools/pvsample/SampleData.h"

#include "platform/base/textcase.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace pvsample {

uint64_t Rng::Next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

size_t TextTable::FieldIndex(const std::string& field) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == field)
            return i;
    return size_t(-1);
}

std::vector<int32_t> RankColumn(const TextTable& table, size_t field)
{
    const size_t n = table.rows.size();
    std::vector<std::string> upper(n);
    for (size_t i = 0; i < n; ++i)
        upper[i] = PvUpperCase(table.rows[i][field]);
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return upper[a] < upper[b]; });

    std::vector<int32_t> rank(n, 1);
    int32_t next = 1;
    const std::string* previous = nullptr;
    for (size_t i : order) {
        if (upper[i].empty())
            continue;
        if (!previous || *previous != upper[i])
            ++next;
        rank[i] = next;
        previous = &upper[i];
    }
    return rank;
}

namespace {

// Word lists: made up, with duplicates, apostrophes, hyphens and a few non-ASCII names, so
// that sorting, searching and escaping have something to chew on.
const char* const kLastNames[] = {
    "Smith", "Johnson", "Lee", "Garcia", "O'Neil", "Smith-Jones", "Nguyen", "Brown", "Martinez",
    "D'Angelo", "M\xC3\xBCller", "\303\230degaard", "Kowalski", "van der Berg", "Okafor", "Patel",
    "Hern\xC3\xA1ndez", "MacDonald", "Mcdonald", "Small", "Smithe", "Snow", "Zhang", "Kim",
    "Abbott", "Young", "Ward-Hill", "O'Brien", "Lefebvre", "\xC5\x81uczak", "Nakamura", "Adams",
    "Quinn", "Rossi", "Schmidt", "Cohen", "Dubois", "Eriksen", "Fitzgerald", "Gonzalez",
    "Haddad", "Ito", "Jensen", "Kaur", "Larsen", "Moreau", "Novak", "Olsen", "Park", "Reyes",
    "Silva", "Tanaka", "Underwood", "Vega", "Walsh", "Xu", "Yamamoto", "Zeller", "smith",
};
// Family members take a first name that fits their relation: a mother or grandmother one of
// the first list, a father or stepfather one of the second, a guardian any.
const char* const kFemaleNames[] = {
    "Mary", "Ana", "Zo\xC3\xAB", "Aisha", "Emma", "Olivia", "Mia", "Mar\xC3\xAD" "a", "Chlo\xC3\xA9",
    "Ren\xC3\xA9" "e", "Mary-Kate", "Priya", "Fatima", "Grace", "Isla", "Leah", "Maya", "Nora", "Ruby",
    "Uma", "Vera", "Ximena", "Zara", "Cara", "Elif", "Gia", "Ivy", "\xC5\x81ucja",
};
const char* const kMaleNames[] = {
    "John", "Jos\xC3\xA9", "S\xC3\xB8ren", "Liam", "Noah", "Lucas", "Jean-Luc", "D'Andre", "Omar",
    "Ethan", "Henry", "Jack", "Owen", "Theo", "Will", "Ben", "Hugo", "Finn", "Dev",
};
const char* const kFirstNames[] = {
    "Mary", "John", "Ana", "Jos\xC3\xA9", "Zo\xC3\xAB", "S\xC3\xB8ren", "Aisha", "Liam", "Noah",
    "Emma", "Olivia", "Mia", "Lucas", "Mar\xC3\xAD" "a", "Chlo\xC3\xA9", "Ren\xC3\xA9" "e", "Mary-Kate",
    "Jean-Luc", "D'Andre", "Kai", "Priya", "Omar", "Yuki", "Fatima", "Ethan", "Grace", "Henry",
    "Isla", "Jack", "Leah", "Maya", "Nora", "Owen", "Ruby", "Sam", "Theo", "Uma", "Vera",
    "Will", "Ximena", "Zara", "Ben", "Cara", "Dev", "Elif", "Finn", "Gia", "Hugo", "Ivy",
    "Mary", "John", "\xC5\x81ucja",
};
const char* const kStreets[] = { "Oak Street", "Maple Avenue", "Cedar Lane", "Elm Court", "Birch Road",
    "Willow Way", "Pine Street", "Aspen Drive", "Hawthorne Blvd", "Lakeview Terrace" };
const char* const kCities[] = { "Westbrook", "Millfield", "Ashford", "Riverton", "Cl\xC3\xA9ment Falls",
    "Northgate", "Westbrook", "Westbrook", "Lake Oswin" };
const char* const kTitles[] = { "Mathematics Teacher", "English Teacher", "Science Teacher", "History Teacher",
    "Art Teacher", "Music Director", "Counselor", "Librarian", "Coach", "Spanish Teacher" };
const char* const kStaffTitles[] = { "Registrar", "Nurse", "Custodian", "Office Manager", "Technology Coordinator" };
const char* const kAdminTitles[] = { "Head of School", "Dean of Students", "Business Manager" };
const char* const kActivities[] = { "Chess Club", "Debate", "Drama", "Robotics", "Soccer", "Basketball",
    "Choir", "Yearbook", "Student Council", "Track & Field", "Orchestra", "Math Team" };
const char* const kRoles[] = { "Member", "Member", "Member", "Captain", "President", "Treasurer" };
const char* const kAwards[] = { "Honor Roll", "Dean's List", "Science Fair Winner", "Perfect Attendance",
    "All-State Choir", "Scholar Athlete", "Community Service Award" };
const char* const kRelations[] = { "Mother", "Father", "Guardian", "Grandmother", "Stepfather" };

// A first name for a family member, from a roll made before the relation was known.
std::string familyFirstName(const std::string& relation, uint32_t roll)
{
    const bool female = relation == "Mother" || relation == "Grandmother";
    const bool male = relation == "Father" || relation == "Stepfather";
    if (female)
        return kFemaleNames[roll % std::size(kFemaleNames)];
    if (male)
        return kMaleNames[roll % std::size(kMaleNames)];
    return kFirstNames[roll % std::size(kFirstNames)];
}

// A North American number from three area codes and the whole exchange range, so that few
// people share one.
std::string phoneNumber(uint32_t roll)
{
    static const char* const kAreaCodes[] = { "503", "971", "360" };
    const uint32_t line = roll % 10000, exchange = 200 + roll / 10000 % 800, area = roll / 8000000 % 3;
    char buf[24];
    std::snprintf(buf, sizeof buf, "(%s) %03u-%04u", kAreaCodes[area], exchange, line);
    return buf;
}
constexpr uint32_t kPhoneRolls = 3 * 800 * 10000;
const char* const kSections[] = { "Students", "Faculty", "Staff", "Administration" };
const char* const kClasses[] = { "2027", "2028", "2029", "2030" };

} // namespace

std::string AsciiFold(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = (unsigned char)utf8[i];
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += char(c);
        else if (c >= 'A' && c <= 'Z')
            out += char(c - 'A' + 'a');
        else if (c == 0xC3 && i + 1 < utf8.size()) {
            // The Latin-1 letters of the lists, folded to their base letter.
            static const char fold[] = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
            const unsigned char d = (unsigned char)utf8[++i];
            if (d >= 0x80 && d < 0xA0)
                out += char(fold[d - 0x80] | 0x20);
            else if (d >= 0xA0 && d < 0xC0)
                out += fold[d - 0xA0];
        } else if (c == 0xC5 && i + 1 < utf8.size()) {
            ++i;
            out += 'l';
        }
    }
    return out;
}

School MakeSchool(int people, uint64_t seed)
{
    Rng rng(seed);
    School s;
    s.name = "Westbrook Academy";
    s.sections.assign(std::begin(kSections), std::end(kSections));
    s.classes.assign(std::begin(kClasses), std::end(kClasses));
    s.activityNames.assign(std::begin(kActivities), std::end(kActivities));

    s.data.name = "Data";
    for (const char* f : { "Entry", "Last Name", "First Name", "Section", "Class", "Title", "Homeroom",
             "E-Mail", "Telephone", "Address", "City", "Zip" })
        s.data.fields.push_back({ f, true });
    s.activities.name = "Activities";
    s.activities.fields = { { "Activity", true }, { "Role", false } };
    s.awards.name = "Awards";
    s.awards.fields = { { "Award", true }, { "Award Year", false } };
    s.family.name = "Family";
    s.family.fields = { { "Relation", false }, { "Family Name", true }, { "Family Phone", false } };
    s.photos.name = "Photos";
    s.photos.fields = { { "Photo", false } };

    // Addresses already given: a second person of the same name gets a number after it.
    std::unordered_set<std::string> mailUsed;
    std::unordered_map<std::string, int> mailSuffix;
    for (int32_t key = 1; key <= people; ++key) {
        const std::string last = rng.Pick(kLastNames);
        const std::string first = rng.Pick(kFirstNames);
        const uint32_t roll = rng.Below(100);
        const char* section = roll < 78 ? "Students" : roll < 92 ? "Faculty" : roll < 98 ? "Staff" : "Administration";
        const bool student = section[0] == 'S' && section[1] == 't' && section[2] == 'u';
        std::string title, cls, homeroom;
        if (student) {
            cls = rng.Pick(kClasses);
            homeroom = "Room " + std::to_string(100 + rng.Below(40));
        } else if (section[0] == 'F') {
            title = rng.Pick(kTitles);
            homeroom = rng.Chance(70) ? "Room " + std::to_string(100 + rng.Below(40)) : "";
        } else {
            title = section[0] == 'S' ? rng.Pick(kStaffTitles) : rng.Pick(kAdminTitles);
        }
        std::string email;
        if (rng.Chance(85)) {
            const std::string base = AsciiFold(first) + "." + AsciiFold(last) + (rng.Chance(10) ? std::to_string(key % 100) : "");
            std::string local = base;
            for (int& n = mailSuffix[base]; !mailUsed.insert(local).second;)
                local = base + std::to_string(++n + 1);
            email = local + "@westbrook.example.org";
        }
        const std::string phone = rng.Chance(93) ? phoneNumber(rng.Below(kPhoneRolls)) : "";
        const std::string address = rng.Chance(95)
            ? std::to_string(1 + rng.Below(9999)) + " " + rng.Pick(kStreets) : "";
        const std::string city = address.empty() ? "" : rng.Pick(kCities);
        const std::string zip = address.empty() ? "" : std::to_string(97000 + rng.Below(900));
        s.data.AddRow(key, { last + ", " + first, last, first, section, cls, title, homeroom, email, phone,
                               address, city, zip });

        const uint32_t activityCount = student ? rng.Below(4) : (rng.Chance(20) ? 1 : 0);
        std::vector<std::string> taken;
        for (uint32_t a = 0; a < activityCount; ++a) {
            std::string act = rng.Pick(kActivities);
            if (std::find(taken.begin(), taken.end(), act) != taken.end())
                continue;
            taken.push_back(act);
            // Some rows leave the role empty, so the row templates meet empty values.
            s.activities.AddRow(key, { act, student ? (rng.Chance(15) ? "" : rng.Pick(kRoles)) : "Advisor" });
        }
        if (student && rng.Chance(35)) {
            const uint32_t awards = 1 + rng.Below(2);
            for (uint32_t a = 0; a < awards; ++a)
                s.awards.AddRow(key, { rng.Pick(kAwards), rng.Chance(80) ? std::to_string(2023 + rng.Below(3)) : "" });
        }
        if (student) {
            const uint32_t members = 1 + rng.Below(2);
            for (uint32_t m = 0; m < members; ++m) {
                const uint32_t nameRoll = rng.Below(uint32_t(std::size(kFirstNames)));
                const std::string relation = rng.Pick(kRelations);
                s.family.AddRow(key, { relation, familyFirstName(relation, nameRoll) + " " + last,
                                         rng.Chance(70) ? phoneNumber(rng.Below(kPhoneRolls)) : "" });
            }
        }
        // Photos for the first people only: enough to see them, few enough for large schools.
        if (key <= 2000 && key % 7 != 0)
            s.photos.AddRow(key, { "p" + std::to_string(key) + ".bmp" });
    }
    return s;
}

} // namespace pvsample
