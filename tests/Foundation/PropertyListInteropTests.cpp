// Files exchanged with Python's plistlib, an independent reader and writer of both formats.

#include "Foundation/AtomicFile.h"
#include "Foundation/PropertyList.h"
#include "PropertyListTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace PropertyListTestSupport;

namespace {

// The same values as valueScript below.
PropertyListValue::Dictionary everyType()
{
    PropertyListValue::Data everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.push_back(static_cast<std::uint8_t>(i));
    return {
        { "string", "Grüße & <tags>" },
        { "empty", "" },
        { "negative", PropertyListValue::integer(-42) },
        { "smallest", PropertyListValue::integer(std::numeric_limits<std::int64_t>::min()) },
        { "largest", unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "real", 0.1 },
        { "widened", 140.f / 255.f },
        { "infinity", std::numeric_limits<double>::infinity() },
        { "yes", true },
        { "no", false },
        { "data", data(everyByte) },
        { "date", date(secondsSinceReferenceDate(2020, 1, 2, 3, 4, 5)) },
        { "old", date(secondsSinceReferenceDate(1900, 1, 1)) },
        { "far", date(secondsSinceReferenceDate(4001, 1, 1)) },
        { "array", PropertyListValue::Array { PropertyListValue::integer(1), "two", PropertyListValue::Array {}, PropertyListValue::Dictionary {} } },
        { "nested", PropertyListValue::Dictionary { { "inner", PropertyListValue::Dictionary { { "x", 1.5 }, { "blob", data(PropertyListValue::Data(100, 0)) } } } } },
    };
}

const char* valueScript = R"(
import datetime, plistlib, struct, sys
value = {
    'string': 'Grüße & <tags>',
    'empty': '',
    'negative': -42,
    'smallest': -2**63,
    'largest': 2**64 - 1,
    'real': 0.1,
    'widened': struct.unpack('<f', struct.pack('<f', 140 / 255))[0],
    'infinity': float('inf'),
    'yes': True,
    'no': False,
    'data': bytes(range(256)),
    'date': datetime.datetime(2020, 1, 2, 3, 4, 5),
    'old': datetime.datetime(1900, 1, 1),
    'far': datetime.datetime(4001, 1, 1),
    'array': [1, 'two', [], {}],
    'nested': {'inner': {'x': 1.5, 'blob': bytes(100)}},
}
)";

bool havePlistlib()
{
    return TestSupport::runCommand("python3 -c 'import plistlib'").exitCode == 0;
}

std::optional<PropertyListValue> readFile(const std::filesystem::path& file)
{
    auto bytes = Foundation::readWholeFile(file, PropertyListValue::maximumFileSize);
    if (!bytes)
        return std::nullopt;
    return PropertyListValue::fromBytes(*bytes);
}

}

TEST(PropertyListInterop, ReadsWhatPythonWrites)
{
    if (!havePlistlib())
        GTEST_SKIP() << "python3 with plistlib is not available";
    TestSupport::TemporaryDirectory folder;
    std::string script = std::string(valueScript) + R"(
folder = sys.argv[1]
with open(folder + '/every.xml', 'wb') as f:
    plistlib.dump(value, f, fmt=plistlib.FMT_XML)
value['uid'] = plistlib.UID(7)
with open(folder + '/every.bplist', 'wb') as f:
    plistlib.dump(value, f, fmt=plistlib.FMT_BINARY)
print('written')
)";
    auto result = TestSupport::runCommand("python3 - " + TestSupport::shellQuote(folder.path().string()), script);
    ASSERT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.output, "written\n");

    auto expected = everyType();
    auto fromXML = readFile(folder.path() / "every.xml");
    ASSERT_TRUE(fromXML);
    EXPECT_EQ(*fromXML, PropertyListValue(expected));

    expected.emplace("uid", uid(7));
    auto fromBinary = readFile(folder.path() / "every.bplist");
    ASSERT_TRUE(fromBinary);
    EXPECT_EQ(*fromBinary, PropertyListValue(expected));
}

TEST(PropertyListInterop, WritesTheSameXMLAsPython)
{
    if (!havePlistlib())
        GTEST_SKIP() << "python3 with plistlib is not available";
    // Python spells infinity its own way; everything else must match byte for byte.
    std::string script = std::string(valueScript) + R"(
del value['infinity']
sys.stdout.write(plistlib.dumps(value, fmt=plistlib.FMT_XML).decode('utf-8'))
)";
    auto result = TestSupport::runCommand("python3 -", script);
    ASSERT_EQ(result.exitCode, 0);
    auto value = PropertyListValue::fromBytes(bytesOf(result.output));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->toXML(), result.output);
}

TEST(PropertyListInterop, PythonReadsWhatWeWrite)
{
    if (!havePlistlib())
        GTEST_SKIP() << "python3 with plistlib is not available";
    TestSupport::TemporaryDirectory folder;
    auto file = folder.path() / "ours.plist";
    std::string xml = PropertyListValue(everyType()).toXML();
    ASSERT_TRUE(Foundation::writeFileAtomically(file, bytesOf(xml)));
    std::string script = std::string(valueScript) + R"(
with open(sys.argv[1], 'rb') as f:
    read = plistlib.load(f)
for key in sorted(set(read) | set(value)):
    if read.get(key) != value.get(key):
        print('differs:', key, repr(read.get(key)), repr(value.get(key)))
print('checked', len(read))
)";
    auto result = TestSupport::runCommand("python3 - " + TestSupport::shellQuote(file.string()), script);
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "checked " + std::to_string(everyType().size()) + "\n");
}
