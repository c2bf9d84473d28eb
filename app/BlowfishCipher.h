#pragma once
// 16-round Blowfish on 8-byte blocks, armoured as printable text: each 32-bit half of a block
// becomes five base-95 characters (codes 32 to 126), least significant digit first, so 8 plain
// bytes become 10 stored characters. Words are read and written little-endian.

#include "app/Cipher.h"

#include <cstddef>
#include <cstdint>

class CBlowfishCipher : public CCipher
{
public:
    // Starts keyed with the empty key (the bare initial tables), so that an unkeyed cipher
    // still works on defined state.
    CBlowfishCipher();
    ~CBlowfishCipher() override = default;

    void Decrypt(const CString& strStored, CString& strPlain) override;
    void Encrypt(const CString& strPlain, CString& strStored) override;
    void SetKey(const CString& strKey) override;

    // The steps below are internal to the cipher; they are public so that they can be checked
    // on their own against an independent implementation.
    void SetKey(const unsigned char* key, size_t length);
    uint32_t RoundFunction(uint32_t x) const
    {
        return ((m_S[0][x >> 24] + m_S[1][(x >> 16) & 0xFF]) ^ m_S[2][(x >> 8) & 0xFF])
            + m_S[3][x & 0xFF];
    }
    void EncipherBlock(uint32_t& L, uint32_t& R) const;
    void DecipherBlock(uint32_t& L, uint32_t& R) const;

    static uint32_t BytesToWord(const unsigned char* bytes, size_t count);
    static void WordToBytes(uint32_t w, char* out);
    static void WordToText(uint32_t w, char* out);
    static uint32_t TextToWord(const unsigned char* text);

    // Enciphers and deciphers plain bytes into a caller's buffer of 10 * ceil(n / 8) characters
    // (and back, into 8 * ceil(n / 10) bytes). Decrypt returns the length after trailing white
    // space is removed. The CString operations are built on these.
    size_t EncryptTo(const char* plain, size_t n, char* out) const;
    size_t DecryptTo(const char* stored, size_t n, char* out) const;

private:
    // Two independent blocks (L1, R1, L2, R2) at once; same result as EncipherBlock on each.
    void EncipherPair(uint32_t* words) const;
    void DecipherPair(uint32_t* words) const;

    uint32_t m_S[4][256];
    uint32_t m_P[18];
};
