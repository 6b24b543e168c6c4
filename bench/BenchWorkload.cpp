#include "BenchWorkload.h"

#include <iconv.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {

// 100 kanji of the JIS X 0208 level 1 and 2 sets, written in UTF-8; every one
// is a double-byte Shift JIS character with a lead byte of 0x88..0x9F or 0xE0..0xEA.
constexpr const char* kKanjiUtf8 =
    "東京都千代田区丸内一丁目番地日本国民法律規則条約経済産業省情報処理技術者試験"
    "合格証明書発行手続案内電話番号受付時間平日午前九時後五分郵便局銀行口座振込期限"
    "支払方法選択確認画面表示内容変更登録完了通知送";

std::string Convert(const std::string& input, const char* to)
{
    iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string out(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0) throw std::runtime_error("iconv failed");
    out.resize(out.size() - outLeft);
    return out;
}

std::wstring Widen(const std::vector<std::uint8_t>& latin1)
{
    return std::wstring(latin1.begin(), latin1.end());
}

BenchWorkload Make(std::string name, BenchWorkload::Kind kind, std::vector<std::uint8_t> bytes,
                   int version, int level)
{
    BenchWorkload w;
    w.name = std::move(name);
    w.kind = kind;
    w.bytes = std::move(bytes);
    w.text = Widen(w.bytes);
    w.version = version;
    w.level = level;
    return w;
}

} // namespace

std::vector<BenchWorkload> MakeBenchWorkloads()
{
    std::mt19937 random(20261208);
    std::vector<BenchWorkload> all;

    const std::string url = "https://www.example.com/vemora/qr?id=123456";
    if (url.size() != 43) throw std::runtime_error("the URL workload is not 43 bytes");
    all.push_back(Make("url43_M_auto", BenchWorkload::Kind::Text, {url.begin(), url.end()}, 0, 2));

    // 2953 bytes fill 40-L exactly (ISO/IEC 18004 Table 7).
    std::vector<std::uint8_t> binary(2953);
    for (auto& b : binary) b = static_cast<std::uint8_t>(random());
    all.push_back(Make("bytes2953_40L", BenchWorkload::Kind::Binary, binary, 40, 1));

    // 3057 digits fill 40-H exactly; the terminator does not fit and is dropped.
    std::vector<std::uint8_t> digits(3057);
    for (auto& d : digits) d = static_cast<std::uint8_t>('0' + random() % 10);
    all.push_back(Make("digits3057_40H", BenchWorkload::Kind::Numeric, digits, 40, 4));

    // 311 characters fill 10-M exactly.
    constexpr const char* alphanumericSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    std::vector<std::uint8_t> alphanumeric(311);
    for (auto& c : alphanumeric) c = static_cast<std::uint8_t>(alphanumericSet[random() % 45]);
    all.push_back(Make("alnum311_10M", BenchWorkload::Kind::Alphanumeric, alphanumeric, 10, 2));

    const std::string sjis = Convert(kKanjiUtf8, "SHIFT_JIS");
    const std::string utf32 = Convert(kKanjiUtf8, "WCHAR_T");
    BenchWorkload kanji;
    kanji.name = "kanji100_M_auto";
    kanji.kind = BenchWorkload::Kind::Kanji;
    kanji.bytes.assign(sjis.begin(), sjis.end());
    kanji.text.assign(reinterpret_cast<const wchar_t*>(utf32.data()),
                      utf32.size() / sizeof(wchar_t));
    kanji.version = 0;
    kanji.level = 2;
    if (kanji.bytes.size() != 200 || kanji.text.size() != 100)
        throw std::runtime_error("kanji workload is not 100 double-byte characters");
    all.push_back(std::move(kanji));

    // Random bytes filling versions 1, 5, 10, 20 and 30 at level L (Table 7),
    // beside 40-L's above; their own seed keeps the bytes above unchanged.
    std::mt19937 filling(20261209);
    constexpr int kFilled[][2] = {{1, 17}, {5, 106}, {10, 271}, {20, 858}, {30, 1732}};
    for (const auto& [version, count] : kFilled) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(filling());
        all.push_back(Make("bytes" + std::to_string(count) + "_" + std::to_string(version) + "L",
                           BenchWorkload::Kind::Binary, bytes, version, 1));
    }

    return all;
}
