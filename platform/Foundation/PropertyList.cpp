#include "Foundation/PropertyList.h"

#include "Foundation/NSString.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <initializer_list>
#include <limits>
#include <memory>
#include <plist/plist.h>
#include <type_traits>

namespace {

// Shared references let a small binary file stand for a huge tree, which
// libplist expands in full, copying each string and data at every reference.
// A file is therefore charged what its expansion would cost: the bytes of
// every string and data (strings as UTF-8) and, per value, about what libplist
// and this reader hold for one, all counted at every reference. The budget is
// twice the largest file read: a file without sharing fits unless it holds
// more than a quarter of a million values, and no file costs more than a few
// hundred megabytes of memory or a second to read.
constexpr std::uint64_t expansionCostPerValue = 64;
constexpr std::uint64_t expansionBudget = 2 * PropertyListValue::maximumFileSize;

// A tag name ends at the first character that cannot be in one, which may be
// earlier than where libplist ends it: more tags count as nesting, never fewer.
bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':';
}

// libplist 2.2 parses recursively, so nesting is measured before it sees the
// bytes. The scan skips what libplist skips, ending comments, CDATA,
// processing instructions and a DOCTYPE's internal subset at the first closing
// marker as it does, so it never sees less nesting than the parser would; on
// malformed markup it may give up earlier, which is harmless.
bool xmlNestingWithinLimit(std::string_view xml)
{
    constexpr auto npos = std::string_view::npos;
    std::vector<char> open;
    size_t at = 0;
    auto skipPast = [&](std::string_view marker, size_t from) {
        size_t found = xml.find(marker, from);
        return found == npos ? npos : found + marker.size();
    };
    while ((at = xml.find('<', at)) != npos) {
        std::string_view rest = xml.substr(at);
        if (rest.starts_with("<!--")) {
            at = skipPast("-->", at + 4);
        } else if (rest.starts_with("<![CDATA[")) {
            at = skipPast("]]>", at + 9);
        } else if (rest.starts_with("<?")) {
            at = skipPast("?>", at + 1);
        } else if (rest.starts_with("<!DOCTYPE")) {
            size_t mark = xml.find_first_of("[>", at + 9);
            if (mark == npos)
                return false;
            at = xml[mark] == '>' ? mark + 1 : skipPast("]>", mark);
        } else if (rest.starts_with("<!")) {
            at += 2;
        } else {
            bool closing = rest.size() > 1 && rest[1] == '/';
            size_t nameStart = at + (closing ? 2 : 1);
            size_t nameEnd = nameStart;
            while (nameEnd < xml.size() && isNameCharacter(xml[nameEnd]))
                ++nameEnd;
            size_t tagEnd = xml.find_first_of("<>", nameEnd);
            if (tagEnd == npos)
                return false;
            if (xml[tagEnd] == '<') {
                at = tagEnd;
                continue;
            }
            bool selfClosing = xml[tagEnd - 1] == '/';
            std::string_view name = xml.substr(nameStart, nameEnd - nameStart);
            char kind = name == "array" ? 'a' : name == "dict" ? 'd' : 0;
            if (kind && closing) {
                if (open.empty() || open.back() != kind)
                    return false;
                open.pop_back();
            } else if (kind) {
                if (open.size() + 1 > PropertyListValue::maximumNestingDepth)
                    return false;
                if (!selfClosing)
                    open.push_back(kind);
            }
            at = tagEnd + 1;
        }
        if (at == npos)
            return false;
    }
    return true;
}

// The binary format: "bplist00", objects, a table of object offsets, and a
// 32-byte trailer naming the integer sizes, the object count, the top object
// and where the offset table starts. Containers hold object references.
class BinaryPropertyList {
public:
    explicit BinaryPropertyList(std::span<const std::uint8_t> bytes) : m_bytes(bytes) { }

    bool readTrailer()
    {
        if (m_bytes.size() < 8 + 1 + 32)
            return false;
        size_t trailer = m_bytes.size() - 32;
        m_offsetSize = m_bytes[trailer + 6];
        m_referenceSize = m_bytes[trailer + 7];
        std::uint64_t objectCount = bigEndian(trailer + 8, 8);
        m_topObject = bigEndian(trailer + 16, 8);
        m_offsetTable = bigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1 || m_referenceSize > 8)
            return false;
        if (m_offsetTable < 9 || m_offsetTable >= trailer)
            return false;
        if (objectCount == 0 || objectCount > (trailer - m_offsetTable) / m_offsetSize || m_topObject >= objectCount)
            return false;
        m_objectCount = objectCount;
        return true;
    }

    // The deepest container nesting reachable from the top object, walked
    // without recursion; nullopt for a cycle, a reference or offset out of
    // range, a key that is not a string, or a tree that is too deep or would
    // expand past the budget.
    [[nodiscard]] std::optional<size_t> nestingDepth() const;

private:
    struct Container {
        size_t firstReference = 0;
        std::uint64_t referenceCount = 0;  // keys, then values for a dictionary
        std::uint64_t keyCount = 0;
    };
    enum class Object : std::uint8_t { Invalid, Leaf, UID, Container };

    static std::uint64_t saturatingMultiply(std::uint64_t a, std::uint64_t b)
    {
        std::uint64_t product = 0;
        return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<std::uint64_t>::max() : product;
    }

    std::uint64_t bigEndian(size_t offset, size_t size) const
    {
        std::uint64_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value = value << 8 | m_bytes[offset + i];
        return value;
    }

    std::optional<size_t> objectOffset(std::uint64_t index) const
    {
        std::uint64_t offset = bigEndian(static_cast<size_t>(m_offsetTable + index * m_offsetSize), m_offsetSize);
        if (offset < 8 || offset >= m_offsetTable)
            return std::nullopt;
        return static_cast<size_t>(offset);
    }

    // An object's length: the marker's low nibble, or 0xF and an integer
    // object after it. Answers the length and where the object's body starts.
    std::optional<std::pair<std::uint64_t, size_t>> lengthOf(size_t at) const
    {
        std::uint64_t length = m_bytes[at++] & 0xF;
        if (length != 0xF)
            return std::pair { length, at };
        if (at >= m_offsetTable || (m_bytes[at] >> 4) != 0x1 || (m_bytes[at] & 0xF) > 3)
            return std::nullopt;
        size_t lengthSize = size_t(1) << (m_bytes[at] & 0xF);
        ++at;
        if (lengthSize > m_offsetTable - at)
            return std::nullopt;
        return std::pair { bigEndian(at, lengthSize), at + lengthSize };
    }

    // libplist 2.2 asserts, taking the process down, when a dictionary key is
    // anything but a string or holds a NUL character.
    bool isKey(std::uint64_t index) const
    {
        auto offset = objectOffset(index);
        if (!offset)
            return false;
        unsigned type = m_bytes[*offset] >> 4;
        if (type != 0x5 && type != 0x6)
            return false;
        auto length = lengthOf(*offset);
        if (!length)
            return false;
        auto [characters, at] = *length;
        size_t characterSize = type == 0x6 ? 2 : 1;
        if (characters > (m_offsetTable - at) / characterSize)
            return false;
        for (size_t i = 0; i < characters; ++i) {
            size_t character = at + i * characterSize;
            if (m_bytes[character] == 0 && (characterSize == 1 || m_bytes[character + 1] == 0))
                return false;
        }
        return true;
    }

    // What a leaf adds to the expansion besides its value: the bytes of a
    // string or data. A length past the end of the file costs what it says,
    // which refuses the file before the parser would.
    std::uint64_t payloadOf(size_t offset) const
    {
        unsigned type = m_bytes[offset] >> 4;
        if (type != 0x4 && type != 0x5 && type != 0x6)
            return 0;
        auto length = lengthOf(offset);
        if (!length)
            return 0;
        // A UTF-16 unit becomes at most three bytes of UTF-8.
        return type == 0x6 ? saturatingMultiply(length->first, 3) : length->first;
    }

    Object readObject(std::uint64_t index, Container& container, std::uint64_t& payload) const
    {
        auto offset = objectOffset(index);
        if (!offset)
            return Object::Invalid;
        unsigned type = m_bytes[*offset] >> 4;
        payload = payloadOf(*offset);
        if (type == 0x8)
            return Object::UID;
        if (type != 0xA && type != 0xC && type != 0xD)
            return Object::Leaf;
        auto length = lengthOf(*offset);
        if (!length)
            return Object::Invalid;
        auto [count, at] = *length;
        std::uint64_t perEntry = type == 0xD ? 2 * m_referenceSize : m_referenceSize;
        if (count > (m_offsetTable - at) / perEntry)
            return Object::Invalid;
        container = { at, type == 0xD ? 2 * count : count, type == 0xD ? count : 0 };
        return Object::Container;
    }

    std::span<const std::uint8_t> m_bytes;
    size_t m_offsetSize = 0;
    size_t m_referenceSize = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_offsetTable = 0;
};

std::optional<size_t> BinaryPropertyList::nestingDepth() const
{
    enum class State : std::uint8_t { Unvisited, Open, Done };
    // Costs are memoised per object, so a shared object is walked once however
    // often it is referenced; each stays within the budget, so sums cannot wrap.
    struct Visit {
        State state = State::Unvisited;
        std::uint16_t depth = 0;
        std::uint64_t cost = 0;
    };
    struct Frame {
        std::uint64_t object;
        Container container;
        std::uint64_t nextReference = 0;
        size_t depth = 0;  // of the deepest child so far
        std::uint64_t cost = expansionCostPerValue;
    };
    std::vector<Visit> visits(static_cast<size_t>(m_objectCount));
    std::vector<Frame> stack;

    // A UID is written to XML as a one-entry dictionary, so it counts as one
    // level here too, keeping a tree's depth the same in both forms.
    auto visitLeaf = [&](std::uint64_t object, Object kind, std::uint64_t payload) {
        std::uint64_t cost = std::min(payload, expansionBudget) + expansionCostPerValue;
        visits[object] = { State::Done, static_cast<std::uint16_t>(kind == Object::UID ? 1 : 0), cost };
        return cost <= expansionBudget;
    };

    Container top;
    std::uint64_t payload = 0;
    Object topKind = readObject(m_topObject, top, payload);
    if (topKind == Object::Invalid)
        return std::nullopt;
    if (topKind != Object::Container) {
        if (!visitLeaf(m_topObject, topKind, payload))
            return std::nullopt;
        return visits[m_topObject].depth;
    }
    visits[m_topObject].state = State::Open;
    stack.push_back({ m_topObject, top });

    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.nextReference == frame.container.referenceCount) {
            visits[frame.object] = { State::Done, static_cast<std::uint16_t>(frame.depth + 1), frame.cost };
            std::uint64_t finished = frame.object;
            stack.pop_back();
            if (stack.empty())
                return visits[finished].depth;
            stack.back().depth = std::max<size_t>(stack.back().depth, visits[finished].depth);
            stack.back().cost += visits[finished].cost;
            if (stack.back().cost > expansionBudget)
                return std::nullopt;
            continue;
        }
        bool isKeyReference = frame.nextReference < frame.container.keyCount;
        size_t referenceAt = frame.container.firstReference + static_cast<size_t>(frame.nextReference++) * m_referenceSize;
        std::uint64_t child = bigEndian(referenceAt, m_referenceSize);
        if (child >= m_objectCount || (isKeyReference && !isKey(child)))
            return std::nullopt;
        Visit& visit = visits[child];
        if (visit.state == State::Open)
            return std::nullopt;
        if (visit.state == State::Unvisited) {
            Container container;
            Object kind = readObject(child, container, payload);
            if (kind == Object::Invalid)
                return std::nullopt;
            if (kind == Object::Container) {
                if (stack.size() + 1 > PropertyListValue::maximumNestingDepth)
                    return std::nullopt;
                visit.state = State::Open;
                stack.push_back({ child, container });
                continue;
            }
            if (!visitLeaf(child, kind, payload))
                return std::nullopt;
        }
        frame.depth = std::max<size_t>(frame.depth, visit.depth);
        frame.cost += visit.cost;
        if (frame.cost > expansionBudget)
            return std::nullopt;
    }
    return std::nullopt;
}

bool nestingWithinLimit(std::span<const std::uint8_t> bytes)
{
    constexpr std::string_view binaryMagic = "bplist00";
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.starts_with(binaryMagic))
        return xmlNestingWithinLimit(text);
    BinaryPropertyList binary(bytes);
    if (!binary.readTrailer())
        return false;
    auto depth = binary.nestingDepth();
    return depth && *depth <= PropertyListValue::maximumNestingDepth;
}

// libplist reads XML only as UTF-8 without a byte-order mark, while the
// platform's reader also takes a UTF-8 mark and UTF-16 with its mark in either
// order. Answers the text as UTF-8, converted into storage if need be, or
// nullopt for UTF-16 that does not convert.
std::optional<std::span<const std::uint8_t>> asUTF8(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& storage)
{
    auto startsWith = [&](std::initializer_list<std::uint8_t> mark) {
        return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
    };
    if (startsWith({ 0xEF, 0xBB, 0xBF }))
        return bytes.subspan(3);
    if (!startsWith({ 0xFF, 0xFE }) && !startsWith({ 0xFE, 0xFF }))
        return bytes;
    // "UTF-16" takes its byte order from the mark, and drops the mark.
    iconv_t converter = iconv_open("UTF-8", "UTF-16");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::unique_ptr<void, decltype(&iconv_close)> owner(converter, iconv_close);
    // Each 2-byte unit becomes at most 3 bytes.
    storage.resize(bytes.size() / 2 * 3);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(storage.data());
    size_t outLeft = storage.size();
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft)
        return std::nullopt;
    storage.resize(storage.size() - outLeft);
    return std::span<const std::uint8_t>(storage);
}

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// The node alone in libplist's binary form, which keeps what its getters
// cannot tell.
std::vector<std::uint8_t> binaryOfNode(plist_t node)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    std::unique_ptr<char, MallocDeleter> owner(bytes);
    if (!bytes)
        return {};
    return { reinterpret_cast<std::uint8_t*>(bytes), reinterpret_cast<std::uint8_t*>(bytes) + length };
}

// libplist 2.2 has one 64-bit integer type and knows only internally whether
// a value above 2^63-1 was read as unsigned; its binary writer tells, by
// choosing the 128-bit form (marker 0x14) for those.
PropertyListValue::Integer integerOfNode(plist_t node)
{
    uint64_t bits = 0;
    plist_get_uint_val(node, &bits);
    PropertyListValue::Integer integer { static_cast<std::int64_t>(bits), false };
    if (bits > static_cast<uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        auto binary = binaryOfNode(node);
        integer.isUnsigned = binary.size() > 8 && binary[8] == 0x14;
    }
    return integer;
}

// plist_get_date_val answers whole seconds in 32 bits and loses the sign of a
// fraction before 2001; the binary form holds the stored double exactly.
double dateOfNode(plist_t node)
{
    auto binary = binaryOfNode(node);
    if (binary.size() < 17 || binary[8] != 0x33) {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return seconds + microseconds / 1e6;
    }
    std::uint64_t bits = 0;
    for (size_t i = 9; i < 17; ++i)
        bits = bits << 8 | binary[i];
    return std::bit_cast<double>(bits);
}

std::string textOf(const char* pointer, uint64_t length)
{
    // Keys come back as C strings, so values are cut at a NUL the same way;
    // XML could not carry the rest anyway.
    if (!pointer)
        return {};
    return std::string(pointer, strnlen(pointer, static_cast<size_t>(length)));
}

// A one-entry dictionary holding an integer under CF$UID is how XML spells a
// keyed-archive UID.
std::optional<PropertyListValue::UID> archivedUID(plist_t dictionary)
{
    if (plist_dict_get_size(dictionary) != 1)
        return std::nullopt;
    plist_t item = plist_dict_get_item(dictionary, "CF$UID");
    if (!item || plist_get_node_type(item) != PLIST_UINT)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uint_val(item, &value);
    return PropertyListValue::UID { value };
}

std::optional<PropertyListValue> scalarOf(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PropertyListValue(value != 0);
    }
    case PLIST_UINT:
        return PropertyListValue(integerOfNode(node));
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PropertyListValue(value);
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PropertyListValue(textOf(text, length));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        auto* data = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return PropertyListValue(PropertyListValue::Storage(data ? PropertyListValue::Data(data, data + length) : PropertyListValue::Data {}));
    }
    case PLIST_DATE:
        return PropertyListValue(PropertyListValue::Storage(PropertyListValue::Date { dateOfNode(node) }));
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return PropertyListValue(PropertyListValue::Storage(PropertyListValue::UID { value }));
    }
    default:
        return std::nullopt;
    }
}

// Without recursion, so that the stack the caller happens to run on does not
// matter: each container is created in place, then its items are filled in.
// Duplicate dictionary keys (possible in binary files) keep the first value.
std::optional<PropertyListValue> convert(plist_t root, bool fromXML)
{
    struct Pending {
        plist_t node;
        PropertyListValue* slot;
        size_t depth;
    };
    PropertyListValue result;
    std::vector<Pending> pending { { root, &result, 0 } };
    while (!pending.empty()) {
        auto [node, slot, depth] = pending.back();
        pending.pop_back();
        if (!node || depth > PropertyListValue::maximumNestingDepth)
            return std::nullopt;
        plist_type type = plist_get_node_type(node);
        std::optional<PropertyListValue::UID> uid;
        if (type == PLIST_DICT && fromXML)
            uid = archivedUID(node);
        if (uid) {
            *slot = PropertyListValue(PropertyListValue::Storage(*uid));
        } else if (type == PLIST_ARRAY) {
            uint32_t count = plist_array_get_size(node);
            *slot = PropertyListValue::Array(count);
            auto& array = *slot->get<PropertyListValue::Array>();
            for (uint32_t i = 0; i < count; ++i)
                pending.push_back({ plist_array_get_item(node, i), &array[i], depth + 1 });
        } else if (type == PLIST_DICT) {
            *slot = PropertyListValue::Dictionary {};
            auto& dictionary = *slot->get<PropertyListValue::Dictionary>();
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            std::unique_ptr<void, MallocDeleter> iteratorOwner(iterator);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iterator, &key, &item);
                std::unique_ptr<char, MallocDeleter> keyOwner(key);
                if (!item)
                    break;
                auto [entry, inserted] = dictionary.try_emplace(std::string(key ? key : ""));
                if (inserted)
                    pending.push_back({ item, &entry->second, depth + 1 });
            }
        } else {
            auto scalar = scalarOf(node);
            if (!scalar)
                return std::nullopt;
            *slot = std::move(*scalar);
        }
    }
    return result;
}

// XML writing.

void appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

void appendElement(std::string& out, size_t level, std::string_view tag, std::string_view text)
{
    out.append(level, '\t');
    out += '<';
    out += tag;
    out += '>';
    out += text;
    out += "</";
    out += tag;
    out += ">\n";
}

std::string realText(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "+infinity" : "-infinity";
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string integerText(const PropertyListValue::Integer& integer)
{
    char buffer[24];
    auto result = integer.isUnsigned
        ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(integer.value))
        : std::to_chars(buffer, buffer + sizeof buffer, integer.value);
    return std::string(buffer, result.ptr);
}

// Whole seconds only: the XML form has no fraction, so a date is written
// rounded down to its second, as the platform does. Dates outside years
// 1-9999, which the form cannot spell, are clamped; NaN is the reference date.
std::string dateText(double secondsSinceReferenceDate)
{
    using namespace std::chrono;
    constexpr sys_days referenceDate = year { 2001 } / January / 1;
    constexpr sys_seconds earliest = sys_days { year { 1 } / January / 1 };
    constexpr sys_seconds latest = sys_days { year { 9999 } / December / 31 } + hours { 23 } + minutes { 59 } + seconds { 59 };
    constexpr double earliestOffset = static_cast<double>((earliest - referenceDate).count());
    constexpr double latestOffset = static_cast<double>((latest - referenceDate).count());
    double whole = std::isnan(secondsSinceReferenceDate) ? 0 : std::clamp(std::floor(secondsSinceReferenceDate), earliestOffset, latestOffset);
    sys_seconds time = referenceDate + seconds { static_cast<std::int64_t>(whole) };
    sys_days day = floor<days>(time);
    year_month_day date { day };
    hh_mm_ss clock { time - day };
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
        static_cast<unsigned>(date.day()), static_cast<long long>(clock.hours().count()), static_cast<long long>(clock.minutes().count()),
        static_cast<long long>(clock.seconds().count()));
    return buffer;
}

// The platform's layout: encoded lines indented like the tag but never more
// than 8 tabs, each tab taking 8 of a line's 76 columns.
void appendBase64(std::string& out, const PropertyListValue::Data& data, size_t level)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((data.size() + 2) / 3 * 4);
    for (size_t i = 0; i < data.size(); i += 3) {
        std::uint32_t group = std::uint32_t(data[i]) << 16;
        if (i + 1 < data.size())
            group |= std::uint32_t(data[i + 1]) << 8;
        if (i + 2 < data.size())
            group |= data[i + 2];
        encoded += alphabet[group >> 18 & 0x3F];
        encoded += alphabet[group >> 12 & 0x3F];
        encoded += i + 1 < data.size() ? alphabet[group >> 6 & 0x3F] : '=';
        encoded += i + 2 < data.size() ? alphabet[group & 0x3F] : '=';
    }
    size_t indent = std::min<size_t>(level, 8);
    size_t lineLength = 76 - 8 * indent;
    for (size_t at = 0; at < encoded.size(); at += lineLength) {
        out.append(indent, '\t');
        out.append(encoded, at, lineLength);
        out += '\n';
    }
}

void appendValue(std::string& out, const PropertyListValue& value, size_t level);

void appendDictionary(std::string& out, const PropertyListValue::Dictionary& dictionary, size_t level)
{
    out.append(level, '\t');
    if (dictionary.empty()) {
        out += "<dict/>\n";
        return;
    }
    out += "<dict>\n";
    for (auto& [key, value] : dictionary) {
        out.append(level + 1, '\t');
        out += "<key>";
        appendEscaped(out, key);
        out += "</key>\n";
        appendValue(out, value, level + 1);
    }
    out.append(level, '\t');
    out += "</dict>\n";
}

void appendValue(std::string& out, const PropertyListValue& value, size_t level)
{
    std::visit([&](const auto& stored) {
        using T = std::decay_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, std::string>) {
            std::string escaped;
            appendEscaped(escaped, stored);
            appendElement(out, level, "string", escaped);
        } else if constexpr (std::is_same_v<T, PropertyListValue::Integer>) {
            appendElement(out, level, "integer", integerText(stored));
        } else if constexpr (std::is_same_v<T, double>) {
            appendElement(out, level, "real", realText(stored));
        } else if constexpr (std::is_same_v<T, bool>) {
            out.append(level, '\t');
            out += stored ? "<true/>\n" : "<false/>\n";
        } else if constexpr (std::is_same_v<T, PropertyListValue::Data>) {
            out.append(level, '\t');
            out += "<data>\n";
            appendBase64(out, stored, level);
            out.append(level, '\t');
            out += "</data>\n";
        } else if constexpr (std::is_same_v<T, PropertyListValue::Date>) {
            appendElement(out, level, "date", dateText(stored.secondsSinceReferenceDate));
        } else if constexpr (std::is_same_v<T, PropertyListValue::Array>) {
            out.append(level, '\t');
            if (stored.empty()) {
                out += "<array/>\n";
                return;
            }
            out += "<array>\n";
            for (auto& item : stored)
                appendValue(out, item, level + 1);
            out.append(level, '\t');
            out += "</array>\n";
        } else if constexpr (std::is_same_v<T, PropertyListValue::Dictionary>) {
            appendDictionary(out, stored, level);
        } else if constexpr (std::is_same_v<T, PropertyListValue::UID>) {
            PropertyListValue::Dictionary archived;
            archived.emplace("CF$UID", PropertyListValue::Integer { static_cast<std::int64_t>(stored.value), stored.value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) });
            appendDictionary(out, archived, level);
        }
    }, value.storage());
}

float narrowed(double value)
{
    // Out of float's range the conversion is undefined; the platform gives infinity.
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}

std::optional<PropertyListValue> PropertyListValue::fromBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() > maximumFileSize)
        return std::nullopt;
    std::vector<std::uint8_t> converted;
    auto text = asUTF8(bytes, converted);
    if (!text || text->empty() || text->size() > maximumFileSize || !nestingWithinLimit(*text))
        return std::nullopt;
    auto* start = reinterpret_cast<const char*>(text->data());
    auto length = static_cast<uint32_t>(text->size());
    plist_t root = nullptr;
    plist_from_memory(start, length, &root);
    PlistPtr owner(root);
    if (!root)
        return std::nullopt;
    bool fromXML = !plist_is_binary(start, length);
    return convert(root, fromXML);
}

std::string PropertyListValue::toXML() const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n";
    appendValue(out, *this, 0);
    out += "</plist>\n";
    return out;
}

double PropertyListValue::doubleValue() const
{
    if (auto* integer = get<Integer>())
        return integer->isUnsigned ? static_cast<double>(static_cast<std::uint64_t>(integer->value)) : static_cast<double>(integer->value);
    if (auto* real = get<double>())
        return *real;
    if (auto* boolean = get<bool>())
        return *boolean ? 1 : 0;
    if (auto* text = get<std::string>())
        return NSStringDoubleValue(*text);
    return 0;
}

float PropertyListValue::floatValue() const
{
    return narrowed(doubleValue());
}
