// clsQRCode: data analysis and the data bit stream (ISO/IEC 18004, 7.3 and
// 7.4): character classes, the segmentation programme that picks the modes,
// and the writing of the segments.
#include "clsQRCode.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

#include "ByteClasses.h"
#include "StreamKernels.h"

namespace {

// The character-count field widths of ISO/IEC 18004 Table 3 by width class
// (versions 1-9, 10-26, 27-40), in mode order byte, numeric, alphanumeric, kanji.
enum Mode { ByteMode = 0, NumericMode = 1, AlphanumericMode = 2, KanjiMode = 3 };
constexpr int kModeCount = 4;
// clang-format off
constexpr int kCountWidth[3][kModeCount] = {
    { 8, 10,  9,  8},
    {16, 12, 11, 10},
    {16, 14, 13, 12},
};
// clang-format on
// Mode indicators of Table 2, in the same mode order.
constexpr int kModeIndicator[kModeCount] = {0b0100, 0b0001, 0b0010, 0b1000};

// Table 5: the alphanumeric values, indexed by byte; -1 outside the set.
constexpr auto kAlphanumericValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int c = '0'; c <= '9'; ++c) values[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'A'; c <= 'Z'; ++c) values[c] = static_cast<std::int8_t>(c - 'A' + 10);
    const char others[] = " $%*+-./:";
    for (int i = 0; others[i] != 0; ++i)
        values[static_cast<unsigned char>(others[i])] = static_cast<std::int8_t>(36 + i);
    return values;
}();

// Cost marking a mode that is impossible at a position. Adding a candidate's
// few dozen bits to it stays well inside 32 bits.
constexpr int kImpossible = 0x70000000;

int WidthClass(int version) { return version < 10 ? 0 : (version < 27 ? 1 : 2); }

// Writes fields most significant bit first into a BitArray. Past the array's
// end it only counts, so that an over-long stream is measured, never written.
class BitWriter {
public:
    static constexpr bool kPacked = false;
    explicit BitWriter(clsQRCode::BitArray& bits) : bits_(bits) {}
    void Write(int value, int width)
    {
        if (position_ + width <= clsQRCode::BitArrayCapacity) {
            // The common case: the whole field inside the array, one bound test.
            std::uint8_t* out = bits_.data() + position_;
            for (int b = width - 1; b >= 0; --b)
                *out++ = static_cast<std::uint8_t>((value >> b) & 1);
            position_ += width;
            return;
        }
        for (int b = width - 1; b >= 0; --b, ++position_)
            if (position_ < clsQRCode::BitArrayCapacity)
                bits_[position_] = static_cast<std::uint8_t>((value >> b) & 1);
    }
    void WriteBytes(const std::uint8_t* bytes, int count)
    {
        for (int i = 0; i < count; ++i) Write(bytes[i], 8);
    }
    int Position() const { return position_; }

private:
    clsQRCode::BitArray& bits_;
    int position_ = 0;
};

// Writes fields most significant bit first into bytes, eight stream bits a
// byte, the bits after the last field of a byte 0. Past capacity bytes it only
// counts. Fields are up to 56 bits wide. Fewer than 8 bits are pending
// between fields: a field joins them and, while eight bytes of room are
// left, the whole word goes out as one big-endian store, of which the bytes
// the field completed stay; the next byte holds the pending bits followed by
// zeros and is written again by what follows.
class PackedBitWriter {
public:
    static constexpr bool kPacked = true;
    PackedBitWriter(std::uint8_t* bytes, int capacity) : bytes_(bytes), capacity_(capacity) {}
    void Write(std::uint64_t value, int width)
    {
        pending_ = pending_ << width | (value & (~0ull >> (64 - width)));
        pendingBits_ += width;
        if (next_ + 8 <= capacity_) Store64(pending_ << (64 - pendingBits_));
        else PutBytes(pending_ << (64 - pendingBits_), pendingBits_ >> 3);
        next_ += pendingBits_ >> 3;
        pendingBits_ &= 7;
    }
    void Write(int value, int width) { Write(static_cast<std::uint64_t>(value), width); }
    // count bytes as 8-bit fields. The stream's bit offset stays the same
    // across them: after the first, each stream byte holds the low bits of
    // one message byte and the high bits of the next. The stream kernel
    // makes all of those that fit the room left at once; the rest are
    // counted.
    void WriteBytes(const std::uint8_t* bytes, int count)
    {
        if (count <= 0) return;
        const int offset = pendingBits_;
        Write(std::uint64_t{bytes[0]}, 8);
        const int shifted = std::min(count, capacity_ - next_ + 1);
        if (shifted < 2) {
            for (int j = 1; j < count; ++j) Write(std::uint64_t{bytes[j]}, 8);
            return;
        }
        StreamKernels::ShiftBytes(StreamKernels::Active(), bytes, shifted, offset, bytes_ + next_);
        next_ += shifted - 1;
        pending_ = bytes[shifted - 1];
        for (int j = shifted; j < count; ++j) Write(std::uint64_t{bytes[j]}, 8);
    }
    // The stream length in bits; the last byte is completed with zero bits.
    int Finish()
    {
        const int length = next_ * 8 + pendingBits_;
        if (pendingBits_ > 0) PutBytes(pending_ << (64 - pendingBits_), 1);
        return length;
    }

private:
    // Eight bytes read as one number, the first the most significant.
    static std::uint64_t BigEndian64(const std::uint8_t* bytes)
    {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        return word;
    }
    // word's bytes, most significant first, at the next byte.
    void Store64(std::uint64_t word)
    {
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        std::memcpy(bytes_ + next_, &word, 8);
    }
    // The first count bytes of word, most significant first, at the next
    // byte on, as far as capacity.
    void PutBytes(std::uint64_t word, int count)
    {
        for (int i = 0; i < count; ++i)
            if (next_ + i < capacity_)
                bytes_[next_ + i] = static_cast<std::uint8_t>(word >> (56 - 8 * i));
    }

    std::uint8_t* bytes_;
    int capacity_;
    int next_ = 0;
    std::uint64_t pending_ = 0; // its last pendingBits_ (< 8) bits are not yet out
    int pendingBits_ = 0;
};

} // namespace

// --- Data analysis and bit stream -------------------------------------------

int clsQRCode::CharClass(std::uint8_t byte)
{
    if (byte >= '0' && byte <= '9') return 1;
    return kAlphanumericValues[byte] >= 0 ? 2 : 0;
}

int clsQRCode::AlphanumericValue(std::uint8_t byte)
{
    return std::max<int>(kAlphanumericValues[byte], 0);
}

bool clsQRCode::IsKanjiPair(int lead, int trail)
{
    // Shift JIS double-byte ranges 8140-9FFC and E040-EBBF (7.4.6); the
    // trail byte is bounded only below, and for lead EB so that the 13-bit
    // value does not overflow.
    if (trail < 0x40) return false;
    if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA)) return true;
    return lead == 0xEB && trail <= 0xBF;
}

namespace {

// Shift JIS lead bytes (JIS X 0208 double-byte ranges): such a byte opens a
// two-byte character together with the byte after it; every other byte is a
// character of its own.
bool IsShiftJisLead(std::uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// One entry of the segmentation programme: the cheapest way to end a
// character in a mode at a position.
struct Candidate {
    int cost = 0;        // bits for the message so far, terminator excluded
    int run = 0;         // characters in the current segment
    int predecessor = 0; // mode of the entry reached from, -1 at the start
};

struct Analysis {
    int width[kModeCount];
    int maxCount[kModeCount];
    explicit Analysis(int version)
    {
        const int c = WidthClass(version);
        for (int m = 0; m < kModeCount; ++m) {
            width[m] = kCountWidth[c][m];
            maxCount[m] = (1 << width[m]) - 1;
        }
        constexpr int firstCharacterBits[kModeCount] = {8, 4, 6, 13};
        for (int m = 0; m < kModeCount; ++m) switchBits[m] = Header(m) + firstCharacterBits[m];
    }
    int Header(int m) const { return 4 + width[m]; }
    // Bits of a new segment's header and first character, by mode.
    int switchBits[kModeCount] = {};
};

// Picks the cheapest candidate for mode m from the entries "from", lowest
// mode on equal costs: every candidate pays switchBits (a new segment's
// header and first character) except m's own entry, which pays continueBits
// while its run is below the count limit. Only the first Modes entries are
// looked at; the caller leaves out kanji when it is not allowed, since its
// entries are then impossible everywhere and could never win.
template <int Modes>
Candidate Cheapest(const Candidate* from, int m, int maxCount, int continueBits, int switchBits)
{
    const bool canContinue = from[m].run < maxCount;
    int best = 0;
    int bestCost = from[0].cost + (m == 0 && canContinue ? continueBits : switchBits);
    for (int j = 1; j < Modes; ++j) {
        const int cost = from[j].cost + (j == m && canContinue ? continueBits : switchBits);
        if (cost < bestCost) {
            bestCost = cost;
            best = j;
        }
    }
    return {bestCost, best == m && canContinue ? from[m].run + 1 : 1, best};
}

constexpr Candidate kImpossibleEntry{kImpossible, 0, 0};

// The entries of three positions in turn: back2 and back1 the two before the
// current one (kanji looks two back).
struct Rows {
    Candidate rows[3][kModeCount]{};
    Candidate* back2 = rows[0];
    Candidate* back1 = rows[1];
    Candidate* current = rows[2];
    void Rotate()
    {
        Candidate* oldest = back2;
        back2 = back1;
        back1 = current;
        current = oldest;
    }
};

// Where the Shift JIS characters of the message start, scanned from its first
// byte: a kanji segment may only take whole characters, since a reader decodes
// every pair as one; a pair straddling two characters would come back as
// other text.
struct CharacterBoundaries {
    int nextCharacter = 0; // where the next character starts
    int openedAt = -1;     // where the last two-byte character started
    // Whether byte i closes a two-byte character; call for i = 0, 1, ...
    bool Advance(const std::uint8_t* data, int i, int n)
    {
        const bool closes = openedAt == i - 1;
        if (i == nextCharacter) {
            const bool twoBytes = IsShiftJisLead(data[i]) && i + 1 < n;
            if (twoBytes) openedAt = i;
            nextCharacter = i + (twoBytes ? 2 : 1);
        }
        return closes;
    }
};

// The entries of position i >= 1 from those before it (7.4 segment costs):
// byte always; numeric for a digit (10 bits per three digits, 4 for a last
// single one, 7 for a pair); alphanumeric for any character of its set (11
// bits per pair, 6 for a last single one); kanji when the bytes i-1 and i
// are one kanji character.
template <int Modes>
void Step(const std::uint8_t* data, int i, const Analysis& a, bool kanjiPossible, Rows& r)
{
    const int cls = clsQRCode::CharClass(data[i]);
    const Candidate* back1 = r.back1;
    Candidate* current = r.current;
    current[ByteMode] = Cheapest<Modes>(back1, ByteMode, a.maxCount[ByteMode], 8, a.switchBits[0]);
    current[NumericMode] =
        cls != 1 ? kImpossibleEntry
                 : Cheapest<Modes>(back1, NumericMode, a.maxCount[NumericMode],
                                   3 + (back1[NumericMode].run % 3 == 0 ? 1 : 0), a.switchBits[1]);
    current[AlphanumericMode] =
        cls == 0
            ? kImpossibleEntry
            : Cheapest<Modes>(back1, AlphanumericMode, a.maxCount[AlphanumericMode],
                              5 + (back1[AlphanumericMode].run % 2 == 0 ? 1 : 0), a.switchBits[2]);
    if constexpr (Modes > KanjiMode) {
        if (!kanjiPossible || !clsQRCode::IsKanjiPair(data[i - 1], data[i]))
            current[KanjiMode] = kImpossibleEntry;
        else if (i == 1) current[KanjiMode] = {a.switchBits[KanjiMode], 1, -1};
        else
            current[KanjiMode] =
                Cheapest<Modes>(r.back2, KanjiMode, a.maxCount[KanjiMode], 13, a.switchBits[3]);
    }
}

// The entries of position 0, each mode opening its first segment.
void FirstStep(std::uint8_t byte, const Analysis& a, Candidate* current)
{
    const int cls = clsQRCode::CharClass(byte);
    current[ByteMode] = {a.switchBits[ByteMode], 1, -1};
    current[NumericMode] = cls == 1 ? Candidate{a.switchBits[1], 1, -1} : kImpossibleEntry;
    current[AlphanumericMode] = cls != 0 ? Candidate{a.switchBits[2], 1, -1} : kImpossibleEntry;
    current[KanjiMode] = kImpossibleEntry;
}

// The path recovery's record: one byte a position, the predecessor of mode
// m's entry there in bits 2m and 2m + 1 (a start, -1, is kept as 3; the
// recovery never reads it, since no position precedes it).
constexpr std::uint8_t PackPredecessors(int byte, int numeric, int alphanumeric, int kanji)
{
    return static_cast<std::uint8_t>((byte & 3) | (numeric & 3) << 2 | (alphanumeric & 3) << 4 |
                                     (kanji & 3) << 6);
}
int PredecessorOf(std::uint8_t packed, int m) { return packed >> (2 * m) & 3; }

void Record(std::uint8_t* predecessors, int i, int modes, const Candidate* entries)
{
    if (predecessors == nullptr) return;
    unsigned packed = 0;
    for (int m = 0; m < modes; ++m)
        packed |= static_cast<unsigned>(entries[m].predecessor & 3) << (2 * m);
    predecessors[i] = static_cast<std::uint8_t>(packed);
}

// The same record for every position from..to of a run a fast path took.
void RecordRun(std::uint8_t* predecessors, int from, int to, std::uint8_t packed)
{
    if (predecessors != nullptr && to >= from)
        std::memset(predecessors + from, packed, static_cast<std::size_t>(to - from + 1));
}

// The first position from `from` on whose byte is not of cls (CharClass 1 or
// 2), or n: from the class masks a word at a time where the bytes were
// classified.
int ClassEnd(const std::uint8_t* data, int from, int n, int cls, const ByteClasses::Masks* masks)
{
    if (masks == nullptr) {
        while (from < n && clsQRCode::CharClass(data[from]) == cls) ++from;
        return from;
    }
    for (int w = from >> 6; w < masks->words; ++w) {
        std::uint64_t others =
            cls == 1 ? ~masks->digit[w] : ~masks->alphanumeric[w] | masks->digit[w];
        if (w == from >> 6) others &= ~0ull << (from & 63);
        if (others != 0) return std::min(n, 64 * w + std::countr_zero(others));
    }
    return n;
}

// Numeric's entry after t more digits from entry: every digit adds 3 bits,
// and 1 more when it opens a group of three (runs r .. r + t - 1 that are
// multiples of 3).
Candidate NumericAfter(const Candidate& entry, int t)
{
    const int groups = (entry.run + t - 1) / 3 - (entry.run - 1) / 3;
    return {entry.cost + 3 * t + groups, entry.run + t, NumericMode};
}

// Alphanumeric's entry after t more characters of its set from entry: every
// character adds 5 bits, and 1 more when it opens a pair (runs r .. r + t - 1
// that are even).
Candidate AlphanumericAfter(const Candidate& entry, int t)
{
    const int pairs = (entry.run + t - 1) / 2 - (entry.run - 1) / 2;
    return {entry.cost + 5 * t + pairs, entry.run + t, AlphanumericMode};
}

// Long runs of one character class reach a steady state in which every step
// is known in advance; these fast paths take the bytes after position i (the
// entries in r.back1) while it holds and return the last position they took
// (i when none), with the rows and predecessors as Step would leave them.
//
// Digits: once numeric has continued and byte and alphanumeric have both just
// switched from numeric, numeric keeps continuing and the others keep
// switching from it, since a digit adds at most 4 bits to numeric and opening
// a segment costs more than 8 (an induction on the costs of Step), until the
// numeric run reaches its count limit. No kanji pair starts with a digit.
int SkipDigits(const std::uint8_t* data, int i, int n, const Analysis& a, Rows& r,
               std::uint8_t* predecessors, const ByteClasses::Masks* masks)
{
    const Candidate* s = r.back1;
    if (s[NumericMode].predecessor != NumericMode || s[NumericMode].run < 2 ||
        s[ByteMode].predecessor != NumericMode || s[ByteMode].run != 1 ||
        s[AlphanumericMode].predecessor != NumericMode || s[AlphanumericMode].run != 1)
        return i;
    // The digits after i, as many as the count field still takes; numeric's
    // entries at end - 2, end - 1 and end, the other modes following from them.
    const int room = a.maxCount[NumericMode] - s[NumericMode].run;
    const int end = std::min(ClassEnd(data, i + 1, n, 1, masks), i + 1 + room) - 1;
    const int taken = end - i;
    const Candidate numeric = NumericAfter(s[NumericMode], taken);
    const Candidate oneBack = taken >= 1 ? NumericAfter(s[NumericMode], taken - 1) : Candidate{};
    const Candidate twoBack = taken >= 2 ? NumericAfter(s[NumericMode], taken - 2) : Candidate{};
    RecordRun(predecessors, i + 1, end,
              PackPredecessors(NumericMode, NumericMode, NumericMode, ByteMode));
    // The rows of end - 1 (unless that is i, already in back1) and end.
    const auto push = [&](const Candidate& entry, const Candidate& before) {
        r.current[ByteMode] = {before.cost + a.switchBits[ByteMode], 1, NumericMode};
        r.current[NumericMode] = entry;
        r.current[AlphanumericMode] = {before.cost + a.switchBits[AlphanumericMode], 1,
                                       NumericMode};
        r.current[KanjiMode] = kImpossibleEntry;
        r.Rotate();
    };
    if (end - 1 > i) push(oneBack, twoBack);
    if (end > i) push(numeric, oneBack);
    return end;
}

// Letters and the other non-digit characters of the alphanumeric set: once
// alphanumeric has continued, byte has just switched from it and numeric and
// kanji are impossible, alphanumeric keeps continuing and byte keeps switching
// from it, since a character adds at most 6 bits to alphanumeric, byte's own
// continuation costs 8 and a switch into alphanumeric more than 8 (an
// induction on the costs of Step), until the alphanumeric run reaches its
// count limit. Numeric is impossible on such a character, and kanji too,
// since the byte before it cannot open a kanji pair.
int SkipLetters(const std::uint8_t* data, int i, int n, const Analysis& a, Rows& r,
                std::uint8_t* predecessors, const ByteClasses::Masks* masks)
{
    const Candidate* s = r.back1;
    if (s[AlphanumericMode].predecessor != AlphanumericMode || s[AlphanumericMode].run < 2 ||
        s[ByteMode].predecessor != AlphanumericMode || s[ByteMode].run != 1 ||
        s[NumericMode].cost < kImpossible || s[KanjiMode].cost < kImpossible)
        return i;
    // The characters after i, as many as the count field still takes;
    // alphanumeric's entries at end - 2, end - 1 and end, byte following from them.
    const int room = a.maxCount[AlphanumericMode] - s[AlphanumericMode].run;
    const int end = std::min(ClassEnd(data, i + 1, n, 2, masks), i + 1 + room) - 1;
    const int taken = end - i;
    const Candidate alphanumeric = AlphanumericAfter(s[AlphanumericMode], taken);
    const Candidate oneBack =
        taken >= 1 ? AlphanumericAfter(s[AlphanumericMode], taken - 1) : Candidate{};
    const Candidate twoBack =
        taken >= 2 ? AlphanumericAfter(s[AlphanumericMode], taken - 2) : Candidate{};
    RecordRun(predecessors, i + 1, end,
              PackPredecessors(AlphanumericMode, ByteMode, AlphanumericMode, ByteMode));
    // The rows of end - 1 (unless that is i, already in back1) and end.
    const auto push = [&](const Candidate& entry, const Candidate& before) {
        r.current[ByteMode] = {before.cost + a.switchBits[ByteMode], 1, AlphanumericMode};
        r.current[NumericMode] = kImpossibleEntry;
        r.current[AlphanumericMode] = entry;
        r.current[KanjiMode] = kImpossibleEntry;
        r.Rotate();
    };
    if (end - 1 > i) push(oneBack, twoBack);
    if (end > i) push(alphanumeric, oneBack);
    return end;
}

// Kanji characters, from the trail byte i of one: once kanji has continued,
// byte has switched from kanji at the lead byte before i and continued at i,
// numeric is impossible and alphanumeric impossible or just switched from
// byte, every further kanji pair keeps that state until the kanji run reaches
// its count limit: at the lead byte byte switches from kanji (13 bits a
// character against byte's 16 for the pair) and the other modes are
// impossible; at the trail byte kanji continues, byte continues from the lead
// byte and alphanumeric, when the trail byte is in its set, switches from
// byte (an induction on the costs of Step). The pairs start at i + 1, so they
// are whole Shift JIS characters.
bool InKanjiState(const Rows& r)
{
    const Candidate* s = r.back1;
    // Most often false on other bytes, so tested first.
    if (s[KanjiMode].predecessor != KanjiMode) return false;
    const Candidate& leadByte = r.back2[ByteMode];
    const bool alphanumericFromByte =
        s[AlphanumericMode].cost >= kImpossible ||
        (s[AlphanumericMode].predecessor == ByteMode && s[AlphanumericMode].run == 1);
    return s[KanjiMode].predecessor == KanjiMode && s[KanjiMode].run >= 2 &&
           s[ByteMode].predecessor == ByteMode && s[ByteMode].run == 2 &&
           leadByte.predecessor == KanjiMode && leadByte.run == 1 &&
           s[NumericMode].cost >= kImpossible && alphanumericFromByte;
}

// The kanji characters from `from` on, a character boundary, or none past
// limit: from the kanji pair mask where the bytes were classified, whose runs
// from a boundary are whole characters.
int KanjiPairsFrom(const std::uint8_t* data, int from, int n, int limit,
                   const ByteClasses::Masks* masks)
{
    int p = from;
    if (masks == nullptr) {
        while (p + 1 < n && clsQRCode::IsKanjiPair(data[p], data[p + 1]) && (p - from) / 2 < limit)
            p += 2;
        return (p - from) / 2;
    }
    for (int w = from >> 6; w < masks->words; ++w) {
        std::uint64_t others = ~masks->kanjiPair[w];
        if (w == from >> 6) others &= ~0ull << (from & 63);
        if (others != 0) {
            p = 64 * w + std::countr_zero(others);
            break;
        }
        p = 64 * (w + 1);
    }
    return std::min((std::min(p, n) - from) / 2, limit);
}

int SkipKanji(const std::uint8_t* data, int i, int n, const Analysis& a, Rows& r,
              std::uint8_t* predecessors, const ByteClasses::Masks* masks)
{
    if (i < 3 || !InKanjiState(r)) return i;
    // Kanji's entries at the trail bytes end - 2 and end; the rest follow.
    const Candidate start = r.back1[KanjiMode];
    const int pairs = KanjiPairsFrom(data, i + 1, n, a.maxCount[KanjiMode] - start.run, masks);
    const Candidate previous{start.cost + 13 * (pairs - 1), start.run + pairs - 1, KanjiMode};
    const Candidate kanji{start.cost + 13 * pairs, start.run + pairs, KanjiMode};
    const int p = i + 1 + 2 * pairs;
    if (predecessors != nullptr)
        for (int q = i + 1; q < p; q += 2) {
            predecessors[q] = PackPredecessors(KanjiMode, ByteMode, ByteMode, ByteMode);
            predecessors[q + 1] = PackPredecessors(ByteMode, ByteMode, ByteMode, KanjiMode);
        }
    const int end = p - 1;
    if (end == i) return i;
    // The rows of the last pair's lead byte and trail byte.
    const Candidate leadByte{previous.cost + a.switchBits[ByteMode], 1, KanjiMode};
    r.current[ByteMode] = leadByte;
    r.current[NumericMode] = r.current[AlphanumericMode] = r.current[KanjiMode] = kImpossibleEntry;
    r.Rotate();
    r.current[ByteMode] = {leadByte.cost + 8, 2, ByteMode};
    r.current[NumericMode] = kImpossibleEntry;
    r.current[AlphanumericMode] =
        clsQRCode::CharClass(data[end]) != 0
            ? Candidate{leadByte.cost + a.switchBits[AlphanumericMode], 1, ByteMode}
            : kImpossibleEntry;
    r.current[KanjiMode] = kanji;
    r.Rotate();
    return end;
}

// Bytes outside the alphanumeric set, when kanji is not allowed: numeric and
// alphanumeric are impossible, so byte mode continues, or opens a new segment
// at its count limit.
int SkipBytes(const std::uint8_t* data, int i, int n, const Analysis& a, Rows& r,
              std::uint8_t* predecessors)
{
    if (clsQRCode::CharClass(data[i]) != 0) return i;
    Candidate oneBack{}, byte = r.back1[ByteMode];
    int p = i + 1;
    for (; p < n && clsQRCode::CharClass(data[p]) == 0; ++p) {
        oneBack = byte;
        byte = byte.run < a.maxCount[ByteMode]
                   ? Candidate{byte.cost + 8, byte.run + 1, ByteMode}
                   : Candidate{byte.cost + a.switchBits[ByteMode], 1, ByteMode};
    }
    const int end = p - 1;
    RecordRun(predecessors, i + 1, end, PackPredecessors(ByteMode, ByteMode, ByteMode, ByteMode));
    const auto push = [&](const Candidate& entry) {
        r.current[ByteMode] = entry;
        r.current[NumericMode] = kImpossibleEntry;
        r.current[AlphanumericMode] = kImpossibleEntry;
        r.Rotate();
    };
    if (end - 1 > i) push(oneBack);
    if (end > i) push(byte);
    return end;
}

// The fast path for the class of byte i + 1 (i + 1 < n), the only one that can
// take it: each returns i when its run does not start there.
template <int Modes>
int SkipRun(const std::uint8_t* data, int i, int n, const Analysis& a, Rows& r,
            std::uint8_t* predecessors, const ByteClasses::Masks* masks)
{
    switch (clsQRCode::CharClass(data[i + 1])) {
    case 1:
        return SkipDigits(data, i, n, a, r, predecessors, masks);
    case 2:
        return SkipLetters(data, i, n, a, r, predecessors, masks);
    default:
        if constexpr (Modes > KanjiMode) return SkipKanji(data, i, n, a, r, predecessors, masks);
        else return SkipBytes(data, i, n, a, r, predecessors);
    }
}

// Byte mode through stretches where no other mode can pay (Annex J's
// break-even lengths, made exact). At a byte-only position p (ByteClasses)
// every path of the programme runs through p's byte entry, and the entries
// after p depend on nothing before it. Up to the next byte-only position q,
// any path that leaves byte mode does so in excursions of one or more
// segments of other modes, each paying at least one header of those modes
// and then a new byte segment's header, and saving against byte mode at most
// 8 - 10/3 bits a digit, 8 - 11/2 a character of the alphanumeric set and
// 8 - 13/2 a byte of a kanji pair. When those savings over p + 1 .. q - 1 fall
// short of the two headers, byte mode continuing is strictly the cheapest
// way from p's byte entry to q's, so every byte entry there continues byte
// mode; this holds while no byte run can reach its count limit.
class ByteStretches {
public:
    ByteStretches(const ByteClasses::Masks& masks, int n, const Analysis& a, bool kanji)
        : masks_(masks), n_(n), last_(Previous(n))
    {
        int cheapestHeader = std::min(a.Header(NumericMode), a.Header(AlphanumericMode));
        if (kanji) cheapestHeader = std::min(cheapestHeader, a.Header(KanjiMode));
        threshold_ = 6 * (cheapestHeader + a.Header(ByteMode));
        // A stretch shorter than this cannot pay even if all digits.
        shortest_ = std::min((threshold_ + 27) / 28, 16);
    }
    const ByteClasses::Masks& Masks() const { return masks_; }
    bool ByteOnly(int i) const { return Bit(masks_.byteOnly, i); }
    // From a byte-only position i, the last position up to which byte mode
    // takes every byte: past every stretch between byte-only positions that
    // cannot pay, up to the last byte-only position (the stretch after it,
    // at the message's end, has no byte segment after it to pay for).
    int End(int i) const
    {
        for (int p = i;;) {
            const int longer = NextLong(p + 1);
            if (longer >= last_) return last_;
            const int first = Previous(longer) + 1;
            const int next = NextByteOnly(longer);
            if (!Stays(first, next)) return first - 1;
            p = next;
        }
    }

private:
    static bool Bit(const std::uint64_t* words, int i) { return (words[i >> 6] >> (i & 63)) & 1; }
    // std::popcount inline: without a CPU feature test the library's is a call.
    static int CountBits(std::uint64_t x)
    {
        x -= (x >> 1) & 0x5555555555555555ull;
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        return static_cast<int>((x * 0x0101010101010101ull) >> 56);
    }
    std::uint64_t Others(int w) const { return w < masks_.words ? ~masks_.byteOnly[w] : ~0ull; }
    // The positions from which shortest_ positions in a row are not byte-only:
    // runs of length len doubled in a two-word window (a bit stays where the
    // len bits from it are all set), by constant shifts, and the last step
    // shorter.
    std::uint64_t LongStarts(int w) const
    {
        std::uint64_t low = Others(w), high = Others(w + 1);
        const auto keepRuns = [&](int k) {
            low &= low >> k | high << (64 - k);
            high &= high >> k;
        };
        int len = 1;
        for (const int k : {1, 2, 4, 8})
            if (2 * k <= shortest_) {
                keepRuns(k);
                len = 2 * k;
            }
        if (len < shortest_) keepRuns(shortest_ - len);
        return low;
    }
    // The first such position from `from` on, or n.
    int NextLong(int from) const
    {
        for (int w = from >> 6; w < masks_.words; ++w) {
            // The searches go forward, many from the same word: its long
            // starts are kept.
            if (w != knownWord_) {
                knownStarts_ = LongStarts(w);
                knownWord_ = w;
            }
            std::uint64_t bits = knownStarts_;
            if (w == from >> 6) bits &= ~0ull << (from & 63);
            if (bits != 0) return std::min(n_, 64 * w + std::countr_zero(bits));
        }
        return n_;
    }
    int NextByteOnly(int from) const
    {
        for (int w = from >> 6; w < masks_.words; ++w) {
            std::uint64_t bits = masks_.byteOnly[w];
            if (w == from >> 6) bits &= ~0ull << (from & 63);
            if (bits != 0) return 64 * w + std::countr_zero(bits);
        }
        return n_;
    }
    // The last byte-only position before `before`, or -1.
    int Previous(int before) const
    {
        for (int w = (before - 1) >> 6; w >= 0 && before > 0; --w) {
            std::uint64_t bits = masks_.byteOnly[w];
            if (w == (before - 1) >> 6 && (before & 63) != 0) bits &= (1ull << (before & 63)) - 1;
            if (bits != 0) return 64 * w + 63 - std::countl_zero(bits);
        }
        return -1;
    }
    // Whether byte mode keeps first .. last - 1 (none byte-only): their
    // savings, in sixths of a bit, below the two headers.
    bool Stays(int first, int last) const
    {
        int savings = 0;
        for (int w = first >> 6; w <= (last - 1) >> 6 && savings < threshold_; ++w) {
            std::uint64_t range = ~0ull;
            if (w == first >> 6) range &= ~0ull << (first & 63);
            if (w == (last - 1) >> 6 && (last & 63) != 0) range &= (1ull << (last & 63)) - 1;
            const std::uint64_t digits = masks_.digit[w] & range;
            const std::uint64_t letters = masks_.alphanumeric[w] & range & ~digits;
            const std::uint64_t kanji = masks_.kanjiPair[w] & range & ~masks_.alphanumeric[w];
            savings += 28 * CountBits(digits) + 15 * CountBits(letters) + 9 * CountBits(kanji);
        }
        return savings < threshold_;
    }

    const ByteClasses::Masks& masks_;
    int n_;
    int last_; // the last byte-only position, -1 when none
    int threshold_ = 0;
    int shortest_ = 1;
    mutable int knownWord_ = -1; // the last word NextLong looked at, and its LongStarts
    mutable std::uint64_t knownStarts_ = 0;
};

// The entries of the byte-only position i carried in byte mode to t > i: the
// rows as Step would leave them at t (the other modes impossible at t, and
// t - 1's entries read no more, since t opens no kanji pair), and the
// predecessors of the stretch byte mode's.
void CarryBytes(int i, int t, Rows& r, std::uint8_t* predecessors)
{
    RecordRun(predecessors, i + 1, t, PackPredecessors(ByteMode, ByteMode, ByteMode, ByteMode));
    Candidate byte = r.back1[ByteMode];
    byte.cost += 8 * (t - i);
    byte.run += t - i;
    byte.predecessor = ByteMode;
    for (int m = 0; m < kModeCount; ++m) r.back1[m] = r.back2[m] = kImpossibleEntry;
    r.back1[ByteMode] = byte;
    r.back2[ByteMode] = {byte.cost - 8, byte.run - 1, ByteMode};
}

// The dynamic programme over data[0 .. n-1]: Step for every position, the
// fast paths where a run allows, and byte mode carried over the stretches
// that stretches (when not null) proves. Only the first Modes modes are
// worked out (3 when kanji is not allowed: its entries then stay impossible).
// predecessors, when not null, receive every position's record (n bytes) for
// the path recovery. On return last holds the entries of
// position n-1.
template <int Modes>
void Analyse(const std::uint8_t* data, int n, const Analysis& a, const ByteStretches* stretches,
             std::uint8_t* predecessors, Candidate (&last)[kModeCount])
{
    Rows r;
    for (auto& row : r.rows)
        for (int m = 0; m < kModeCount; ++m) row[m] = kImpossibleEntry;
    CharacterBoundaries characters;
    for (int i = 0; i < n; ++i) {
        const bool closesCharacter = characters.Advance(data, i, n);
        if (i == 0) FirstStep(data[0], a, r.current);
        else Step<Modes>(data, i, a, closesCharacter, r);
        Record(predecessors, i, Modes, r.current);
        r.Rotate();
        int end = i;
        if (i + 1 < n && stretches != nullptr && stretches->ByteOnly(i)) {
            end = stretches->End(i);
            if (end > i) CarryBytes(i, end, r, predecessors);
        }
        if (end == i && i + 1 < n)
            end = SkipRun<Modes>(data, i, n, a, r, predecessors,
                                 stretches != nullptr ? &stretches->Masks() : nullptr);
        // The skipped bytes are single-byte characters or whole kanji pairs
        // from a character's start, or kanji is not allowed.
        if (end > i) characters.nextCharacter = end + 1;
        i = end;
    }
    std::copy(r.back1, r.back1 + kModeCount, std::begin(last));
}

} // namespace

namespace {

// Whether any byte may open a kanji pair (IsKanjiPair's lead ranges). Without
// one the kanji entries are impossible everywhere, so the programme may leave
// kanji out just as when it is not allowed. Each range is one unsigned
// comparison of the byte's distance from the range's start, ORed over the
// whole message without an early exit: many bytes a step, no branch per byte.
bool HasKanjiLead(const std::uint8_t* data, int n)
{
    unsigned found = 0;
    for (int i = 0; i < n; ++i)
        found |= static_cast<unsigned>(static_cast<std::uint8_t>(data[i] - 0x81) <= 0x9F - 0x81) |
                 static_cast<unsigned>(static_cast<std::uint8_t>(data[i] - 0xE0) <= 0xEB - 0xE0);
    return found != 0;
}

// One run of a mode along the cheapest path: count bytes from start (two per
// kanji character). Runs longer than the count field takes are cut when written.
struct Segment {
    int mode;
    int start;
    int count;
};

// Eight records read as one number, the record of p - 7 in its low byte.
std::uint64_t EightRecords(const std::uint8_t* predecessors, int p)
{
    std::uint64_t word;
    std::memcpy(&word, predecessors + p - 7, 8);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The first entry of the run of mode m that ends at p: going back from p one
// position a step (two for kanji, from trail byte to trail byte), the first
// entry whose predecessor is another mode, or the run's first possible
// position. Eight records a step: a byte lane whose field m differs from m.
int RunStart(const std::uint8_t* predecessors, int p, int m)
{
    constexpr std::uint64_t lanes = 0x0101010101010101ull;
    const int step = m == KanjiMode ? 2 : 1;
    // Kanji looks at the trail bytes p, p - 2, ... only: the odd lanes.
    const std::uint64_t looked = m == KanjiMode ? 0xFF00FF00FF00FF00ull : ~0ull;
    const auto differs = [&](int q) {
        return ((EightRecords(predecessors, q) >> (2 * m) & 3 * lanes) ^ m * lanes) & looked;
    };
    // Long runs four words a step, the word that differs then found below.
    while (p >= 31 && (differs(p) | differs(p - 8) | differs(p - 16) | differs(p - 24)) == 0)
        p -= 32;
    for (; p >= 7; p -= 8)
        if (const std::uint64_t d = differs(p); d != 0)
            return p - 7 + (63 - std::countl_zero(d)) / 8;
    while (p >= step && PredecessorOf(predecessors[p], m) == m) p -= step;
    // A kanji run may reach its start at position 1, whose record reads as
    // kanji continuing (the start's -1).
    return std::max(p, step - 1);
}

// The runs of the cheapest path, from the records the programme left for
// data[0 .. n-1] and the final mode, run by run from the end.
void RecoverSegments(const std::uint8_t* predecessors, int n, int last,
                     std::vector<Segment>& segments)
{
    segments.reserve(16); // most messages' paths: one allocation
    for (int p = n - 1, m = last; p >= 0;) {
        const int first = RunStart(predecessors, p, m);
        const int start = m == KanjiMode ? first - 1 : first;
        assert(start >= 0);
        segments.push_back({m, start, p - start + 1});
        m = PredecessorOf(predecessors[first], m);
        p = start - 1;
    }
    std::reverse(segments.begin(), segments.end());
}

// Three digits as their number, 0..999 (7.4.4).
int DigitGroup(const std::uint8_t* digits)
{
    return 100 * (digits[0] & 0x0F) + 10 * (digits[1] & 0x0F) + (digits[2] & 0x0F);
}
// Nine digits as three such numbers in 30 bits, the first the highest.
int DigitGroups(const std::uint8_t* digits)
{
    return DigitGroup(digits) << 20 | DigitGroup(digits + 3) << 10 | DigitGroup(digits + 6);
}
// Two characters of Table 5 as one 11-bit value (7.4.5).
int AlphanumericPair(const std::uint8_t* characters)
{
    return 45 * clsQRCode::AlphanumericValue(characters[0]) +
           clsQRCode::AlphanumericValue(characters[1]);
}

// One segment (7.4.3 to 7.4.6): mode indicator, character count, data.
// count is in bytes, so two per kanji character.
template <typename Writer>
void WriteSegment(Writer& out, int m, const std::uint8_t* segment, int count, const Analysis& a)
{
    out.Write(kModeIndicator[m], 4);
    out.Write(m == KanjiMode ? count / 2 : count, a.width[m]);
    int i = 0;
    switch (m) {
    case ByteMode:
        out.WriteBytes(segment, count);
        break;
    case NumericMode:
        // Where the writer packs bits, four groups of three digits, 10 bits
        // each, as one 40-bit field, sixteen fields at a time by the stream
        // kernel (which reads a few digits ahead, inside the segment); else
        // six groups as two 30-bit fields.
        if constexpr (Writer::kPacked) {
            using StreamKernels::DigitsPerField;
            const StreamKernels::Kernel kernel = StreamKernels::Active();
            std::uint64_t fields[16];
            while (count - i >= DigitsPerField + StreamKernels::DigitsReadAhead) {
                const int n =
                    std::min(16, (count - i - StreamKernels::DigitsReadAhead) / DigitsPerField);
                StreamKernels::PackDigits(kernel, segment + i, n, fields);
                for (int f = 0; f < n; ++f) out.Write(fields[f], 40);
                i += n * DigitsPerField;
            }
        }
        for (; i + 18 <= count; i += 18) {
            out.Write(DigitGroups(segment + i), 30);
            out.Write(DigitGroups(segment + i + 9), 30);
        }
        for (; i + 3 <= count; i += 3) out.Write(DigitGroup(segment + i), 10);
        if (count - i == 1) out.Write(segment[i] & 0x0F, 4);
        else if (count - i == 2) out.Write(10 * (segment[i] & 0x0F) + (segment[i + 1] & 0x0F), 7);
        break;
    case AlphanumericMode:
        // Two pairs, 11 bits each, as one 22-bit field.
        for (; i + 4 <= count; i += 4)
            out.Write(AlphanumericPair(segment + i) << 11 | AlphanumericPair(segment + i + 2), 22);
        for (; i + 2 <= count; i += 2) out.Write(AlphanumericPair(segment + i), 11);
        if (i < count) out.Write(clsQRCode::AlphanumericValue(segment[i]), 6);
        break;
    case KanjiMode:
        for (; i < count; i += 2) {
            const int lead = segment[i];
            const int base = lead <= 0x9F ? 0x81 : 0xC1;
            out.Write((lead - base) * 0xC0 + segment[i + 1] - 0x40, 13);
        }
        break;
    }
}

// Segmentation and writing (7.4.2 to 7.4.9): the runs of the cheapest path,
// cut at the count field's limit as the programme charged them (kanji runs
// counted in bytes here), then the terminator.
template <typename Writer>
void WriteSegments(Writer& out, const std::uint8_t* data, const std::vector<Segment>& segments,
                   const Analysis& a)
{
    for (const Segment& segment : segments) {
        const int m = segment.mode;
        const int limit = m == KanjiMode ? 2 * a.maxCount[KanjiMode] : a.maxCount[m];
        for (int s = segment.start, end = segment.start + segment.count; s < end; s += limit)
            WriteSegment(out, m, data + s, std::min(limit, end - s), a);
    }
    out.Write(0, 4); // terminator
}

// The segmentation programme over data[0 .. length-1] (length > 0) for the
// width class of version, kanji segments allowed or not: the cheapest path's
// cost in bits, terminator excluded, and with segments not null its runs.
int CheapestSegments(const std::uint8_t* data, int length, int version, bool kanjiAllowed,
                     std::vector<Segment>* segments)
{
    const Analysis a(version);
    // The records are kept for path recovery only when the runs are wanted;
    // the programme writes every one of them.
    std::unique_ptr<std::uint8_t[]> predecessors;
    if (segments != nullptr) predecessors.reset(new std::uint8_t[static_cast<std::size_t>(length)]);
    std::uint8_t* record = predecessors.get();
    Candidate back1[kModeCount];
    // Byte mode is carried over whole stretches while no byte run can reach
    // its count limit, for messages up to the largest symbol's; otherwise
    // every position takes its Step.
    if (length > a.maxCount[ByteMode] || length > ByteClasses::MaxBytes) {
        if (kanjiAllowed && HasKanjiLead(data, length))
            Analyse<kModeCount>(data, length, a, nullptr, record, back1);
        else Analyse<KanjiMode>(data, length, a, nullptr, record, back1);
    } else {
        ByteClasses::Masks masks;
        ByteClasses::Classify(data, length, kanjiAllowed, masks);
        bool kanji = false;
        for (int w = 0; w < masks.words && !kanji; ++w) kanji = masks.kanjiPair[w] != 0;
        const ByteStretches stretches(masks, length, a, kanji);
        if (kanji) Analyse<kModeCount>(data, length, a, &stretches, record, back1);
        else Analyse<KanjiMode>(data, length, a, &stretches, record, back1);
    }

    // The final mode: the cheapest end, lowest mode number on equal costs.
    int last = 0;
    for (int m = 1; m < kModeCount; ++m)
        if (back1[m].cost < back1[last].cost) last = m;
    if (segments != nullptr) RecoverSegments(record, length, last, *segments);
    return back1[last].cost;
}

} // namespace

int clsQRCode::MeasureBitStream(const std::uint8_t* data, int length, int version) const
{
    if (length <= 0) return 4;
    return CheapestSegments(data, length, version, kanjiAllowed_, nullptr) + 4;
}

int clsQRCode::BuildBitStream(BitArray& bits, const std::uint8_t* data, int length, int version,
                              bool measureOnly) const
{
    if (length <= 0) {
        std::fill_n(bits.begin(), 4, std::uint8_t{0});
        return 4;
    }
    if (measureOnly) return MeasureBitStream(data, length, version);
    std::vector<Segment> segments;
    CheapestSegments(data, length, version, kanjiAllowed_, &segments);
    BitWriter out(bits);
    WriteSegments(out, data, segments, Analysis(version));
    return out.Position();
}

int clsQRCode::BuildPackedStream(std::span<std::uint8_t> bytes, const std::uint8_t* data,
                                 int length, int version) const
{
    PackedBitWriter out(bytes.data(), static_cast<int>(bytes.size()));
    if (length <= 0) {
        out.Write(0, 4);
        return out.Finish();
    }
    std::vector<Segment> segments;
    CheapestSegments(data, length, version, kanjiAllowed_, &segments);
    WriteSegments(out, data, segments, Analysis(version));
    return out.Finish();
}
