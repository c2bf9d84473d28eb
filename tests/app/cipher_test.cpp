// The record cipher and its key, checked against OpenSSL's Blowfish as an independent oracle.
#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"

#include <gtest/gtest.h>

// OpenSSL 3 deprecates the low-level Blowfish calls; they are exactly what an oracle needs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <openssl/blowfish.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

struct OpenSslBlowfish {
    BF_KEY key;
    explicit OpenSslBlowfish(const std::string& k)
    {
        BF_set_key(&key, int(k.size()), reinterpret_cast<const unsigned char*>(k.data()));
    }
    void encipher(uint32_t& L, uint32_t& R) const
    {
        BF_LONG d[2] = { L, R };
        BF_encrypt(d, &key);
        L = uint32_t(d[0]);
        R = uint32_t(d[1]);
    }
};
#pragma GCC diagnostic pop

std::string bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += char(b);
    return s;
}

const std::vector<std::string>& oracleKeys()
{
    static const std::vector<std::string> keys = {
        std::string(8, '\0'),
        "abc",
        bytes({ 0x80, 0xFF, 0x81, 0xC3, 0xA9, 0x01, 0x7F, 0xFE }),
        DeriveCipherKey("Last Name", "First Name").str(),
        std::string(72, '\xA5'),
        bytes({ 0xFF }),
    };
    return keys;
}

// Independent armour: little-endian words, five base-95 digits each, least significant first.
std::string armour(uint32_t w)
{
    std::string s;
    uint64_t v = w;
    for (int i = 0; i < 5; ++i, v /= 95)
        s += char(' ' + v % 95);
    return s;
}

std::string oracleEncrypt(const OpenSslBlowfish& bf, std::string plain)
{
    if (plain.size() % 8)
        plain.append(8 - plain.size() % 8, ' ');
    std::string out;
    for (size_t p = 0; p < plain.size(); p += 8) {
        uint32_t w[2];
        for (int h = 0; h < 2; ++h) {
            const auto* b = reinterpret_cast<const unsigned char*>(plain.data() + p + 4 * h);
            w[h] = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        }
        bf.encipher(w[0], w[1]);
        out += armour(w[0]) + armour(w[1]);
    }
    return out;
}

CString encrypt(CBlowfishCipher& c, const CString& plain)
{
    CString out;
    c.Encrypt(plain, out);
    return out;
}

CString decrypt(CBlowfishCipher& c, const CString& stored)
{
    CString out;
    c.Decrypt(stored, out);
    return out;
}

} // namespace

TEST(BlowfishCipher, PublishedVectorAllZeroKey)
{
    CBlowfishCipher c;
    const unsigned char zero[8] = {};
    c.SetKey(zero, 8);
    uint32_t L = 0, R = 0;
    c.EncipherBlock(L, R);
    EXPECT_EQ(L, 0x4EF99745U);
    EXPECT_EQ(R, 0x6198DD78U);
}

TEST(BlowfishCipher, BlocksMatchOpenSsl)
{
    std::mt19937 rng(7);
    for (const std::string& key : oracleKeys()) {
        CBlowfishCipher c;
        c.SetKey(reinterpret_cast<const unsigned char*>(key.data()), key.size());
        OpenSslBlowfish bf(key);
        for (int i = 0; i < 200; ++i) {
            const uint32_t l0 = rng(), r0 = rng();
            uint32_t L = l0, R = r0, eL = l0, eR = r0;
            c.EncipherBlock(L, R);
            bf.encipher(eL, eR);
            ASSERT_EQ(L, eL) << "key size " << key.size();
            ASSERT_EQ(R, eR);
            c.DecipherBlock(L, R);
            ASSERT_EQ(L, l0);
            ASSERT_EQ(R, r0);
        }
    }
}

TEST(BlowfishCipher, TextsMatchOpenSslAndRoundTrip)
{
    const std::string texts[] = { "O'Neil", "Smith-Jones", "M\xC3\xBCller", "exactly8",
        "nine char", std::string("a\0b", 3), std::string(100, '\xE9') };
    for (const std::string& key : oracleKeys()) {
        CBlowfishCipher c;
        c.SetKey(CString(key));
        OpenSslBlowfish bf(key);
        for (const std::string& t : texts) {
            const CString stored = encrypt(c, CString(t));
            EXPECT_EQ(stored.str(), oracleEncrypt(bf, t));
            EXPECT_EQ(decrypt(c, stored).str(), t);
            for (char ch : stored.str())
                ASSERT_TRUE(ch >= 32 && ch <= 126);
        }
    }
}

TEST(BlowfishCipher, EdgeCases)
{
    struct Case {
        const char* plain;
        int storedLength;
        const char* roundTrip;
    };
    const Case cases[] = {
        { "", 0, "" },
        { "abc", 10, "abc" },
        { "abcdefgh", 10, "abcdefgh" },
        { "abcdefghi", 20, "abcdefghi" },
        { "Smith   ", 10, "Smith" },
        { "Smith \t\r\n", 20, "Smith" },
        { "  lead", 10, "  lead" },
        { "        ", 10, "" },
    };
    CBlowfishCipher c;
    c.SetKey(DeriveCipherKey("Last Name", "First Name"));
    for (const Case& k : cases) {
        const CString stored = encrypt(c, k.plain);
        EXPECT_EQ(stored.GetLength(), k.storedLength) << k.plain;
        EXPECT_EQ(decrypt(c, stored), CString(k.roundTrip)) << k.plain;
    }
}

TEST(BlowfishCipher, ArmourSteps)
{
    const unsigned char b[4] = { 0x01, 0x02, 0x03, 0x04 };
    EXPECT_EQ(CBlowfishCipher::BytesToWord(b, 4), 0x04030201U);
    EXPECT_EQ(CBlowfishCipher::BytesToWord(b, 2), 0x0201U);

    struct Case {
        uint32_t word;
        const char* text;
    };
    const Case cases[] = {
        { 0, "     " },
        { 94, "~    " },
        { 95, " !   " },
        { 0xFFFFFFFFU, "" }, // checked by the round trip only
    };
    for (const Case& k : cases) {
        char text[5];
        CBlowfishCipher::WordToText(k.word, text);
        if (*k.text) {
            EXPECT_EQ(std::string(text, 5), k.text);
        }
        EXPECT_EQ(CBlowfishCipher::TextToWord(reinterpret_cast<const unsigned char*>(text)), k.word);
    }
    char out[4];
    CBlowfishCipher::WordToBytes(0x04030201U, out);
    EXPECT_EQ(std::string(out, 4), bytes({ 1, 2, 3, 4 }));
}

TEST(BlowfishCipher, DamagedStoredTextDecodesWithoutFault)
{
    CBlowfishCipher c;
    c.SetKey(DeriveCipherKey("a", "b"));
    const CString stored = encrypt(c, "Jones");
    // A short last group counts as padded with blanks.
    EXPECT_EQ(decrypt(c, stored.Left(7)), decrypt(c, stored.Left(7) + "   "));
    // Characters outside the alphabet give meaningless bytes of the usual length, not a fault.
    const CString odd(bytes({ 0x01, 0x7F, 0xFF, 0x1F, 0x80, 0x0A, 0x00, 0xC3, 0xA9, 0x09, 'x' }));
    EXPECT_LE(decrypt(c, odd).GetLength(), 16);
}

TEST(BlowfishCipher, SetKeyIsRepeatableAndUnkeyedStateIsDefined)
{
    const CString key = DeriveCipherKey("Last Name", "First Name");
    CBlowfishCipher once;
    once.SetKey(key);
    CBlowfishCipher thrice;
    thrice.SetKey(key);
    thrice.SetKey(DeriveCipherKey("x", "y"));
    thrice.SetKey(key);
    thrice.SetKey(key);
    EXPECT_EQ(encrypt(once, "Garcia"), encrypt(thrice, "Garcia"));

    // Built on top of garbage of two kinds, an unkeyed cipher must still give one answer:
    // the answer of the empty key.
    alignas(CBlowfishCipher) unsigned char raw1[sizeof(CBlowfishCipher)];
    alignas(CBlowfishCipher) unsigned char raw2[sizeof(CBlowfishCipher)];
    std::memset(raw1, 0xAA, sizeof raw1);
    std::memset(raw2, 0x55, sizeof raw2);
    auto* a = new (raw1) CBlowfishCipher;
    auto* b = new (raw2) CBlowfishCipher;
    CBlowfishCipher empty;
    empty.SetKey(CString());
    EXPECT_EQ(encrypt(*a, "Garcia"), encrypt(*b, "Garcia"));
    EXPECT_EQ(encrypt(*a, "Garcia"), encrypt(empty, "Garcia"));
    EXPECT_EQ(decrypt(*a, encrypt(*b, "Garcia")), CString("Garcia"));
    a->~CBlowfishCipher();
    b->~CBlowfishCipher();
}

TEST(BlowfishCipher, SameStringInAndOut)
{
    CBlowfishCipher c;
    c.SetKey(DeriveCipherKey("a", "b"));
    CString s = "Washington";
    const CString expected = encrypt(c, s);
    c.Encrypt(s, s);
    EXPECT_EQ(s, expected);
    c.Decrypt(s, s);
    EXPECT_EQ(s, CString("Washington"));
}

TEST(BlowfishCipher, UsableThroughTheInterface)
{
    std::unique_ptr<CCipher> cipher = std::make_unique<CBlowfishCipher>();
    cipher->SetKey(DeriveCipherKey("Last Name", "First Name"));
    CString stored, plain;
    cipher->Encrypt("Lee", stored);
    cipher->Decrypt(stored, plain);
    EXPECT_EQ(plain, CString("Lee"));
}

TEST(CipherKey, SixteenNonZeroBytesDependingOnEveryByte)
{
    const std::string base1 = "Last Name", base2 = "First \xC3\xA9";
    const CString k = DeriveCipherKey(base1.c_str(), base2.c_str());
    EXPECT_EQ(k, DeriveCipherKey(base1.c_str(), base2.c_str()));

    std::vector<std::string> keys;
    auto check = [&](const std::string& a, const std::string& b) {
        const CString key = DeriveCipherKey(CString(a), CString(b));
        ASSERT_EQ(key.GetLength(), 16);
        for (char ch : key.str())
            ASSERT_NE(ch, '\0');
        keys.push_back(key.str());
    };
    check(base1, base2);
    for (size_t i = 0; i < base1.size(); ++i) {
        std::string a = base1;
        a[i] ^= 0x01;
        check(a, base2);
    }
    for (size_t i = 0; i < base2.size(); ++i) {
        std::string b = base2;
        b[i] ^= 0x80;
        check(base1, b);
    }
    check(base2, base1);
    check("ab", "c");
    check("a", "bc");
    check("", "");
    check("", std::string(1, '\0'));
    check(std::string(1, '\0'), "");
    check(std::string(10000, 'z'), "");
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}
