// Record cipher throughput on 1 MB of 20-byte texts, beside OpenSSL's Blowfish on the same
// bytes (each text padded with blanks to whole blocks, as the record cipher does).
#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"

#include <benchmark/benchmark.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <openssl/blowfish.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr size_t kTextLength = 20;
constexpr size_t kTextCount = (1 << 20) / kTextLength;
constexpr size_t kPadded = (kTextLength + 7) / 8 * 8;

std::vector<CString> makeTexts()
{
    std::mt19937 rng(1);
    std::vector<CString> texts;
    texts.reserve(kTextCount);
    for (size_t i = 0; i < kTextCount; ++i) {
        char t[kTextLength];
        for (char& c : t)
            c = char('a' + rng() % 26);
        texts.emplace_back(t, int(kTextLength));
    }
    return texts;
}

const CString& key()
{
    static const CString k = DeriveCipherKey("Last Name", "First Name");
    return k;
}

void RecordCipherEncrypt(benchmark::State& state)
{
    const std::vector<CString> texts = makeTexts();
    CBlowfishCipher cipher;
    cipher.SetKey(key());
    CString out;
    for (auto _ : state) {
        for (const CString& t : texts) {
            cipher.Encrypt(t, out);
            benchmark::DoNotOptimize(out.GetString());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTextCount * kTextLength));
}

void RecordCipherDecrypt(benchmark::State& state)
{
    const std::vector<CString> texts = makeTexts();
    CBlowfishCipher cipher;
    cipher.SetKey(key());
    std::vector<CString> stored(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        cipher.Encrypt(texts[i], stored[i]);
    CString out;
    for (auto _ : state) {
        for (const CString& s : stored) {
            cipher.Decrypt(s, out);
            benchmark::DoNotOptimize(out.GetString());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTextCount * kTextLength));
}

std::vector<unsigned char> paddedBytes()
{
    std::vector<unsigned char> buf(kTextCount * kPadded, ' ');
    const std::vector<CString> texts = makeTexts();
    for (size_t i = 0; i < kTextCount; ++i)
        std::memcpy(&buf[i * kPadded], texts[i].GetString(), kTextLength);
    return buf;
}

void OpenSslBlowfish(benchmark::State& state, int mode)
{
    std::vector<unsigned char> buf = paddedBytes();
    BF_KEY bf;
    BF_set_key(&bf, key().GetLength(), reinterpret_cast<const unsigned char*>(key().GetString()));
    for (auto _ : state) {
        for (size_t p = 0; p < buf.size(); p += 8)
            BF_ecb_encrypt(&buf[p], &buf[p], &bf, mode);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTextCount * kTextLength));
}

void OpenSslEncrypt(benchmark::State& state) { OpenSslBlowfish(state, BF_ENCRYPT); }
void OpenSslDecrypt(benchmark::State& state) { OpenSslBlowfish(state, BF_DECRYPT); }

} // namespace

#pragma GCC diagnostic pop

BENCHMARK(RecordCipherEncrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSslEncrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordCipherDecrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSslDecrypt)->Unit(benchmark::kMillisecond);
