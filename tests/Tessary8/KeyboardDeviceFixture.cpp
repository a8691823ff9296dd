#include "KeyboardDeviceFixture.h"

#include "Foundation/NSDictionary.h"
#include "ImageIO/PNGCodec.h"

void KeyboardDeviceFixture::SetUp()
{
    auto device = TestSupport::binaryDirectory() / "bin" / "tessary8-device";
    auto result = TestSupport::runCommand(TestSupport::shellQuote(device.string()) + " --root " + TestSupport::shellQuote(m_device.path().string()) + " init");
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

void KeyboardDeviceFixture::writeSettings(const PropertyListValue::Dictionary& entries)
{
    (void)m_device.prepare(SharedFiles::settingsPath);
    ASSERT_TRUE(NSMutableDictionary(entries).writeToFile(SharedFiles::settingsPath, true));
}

void KeyboardDeviceFixture::writeSettingsBytes(const std::string& bytes)
{
    TestSupport::writeFile(m_device.prepare(SharedFiles::settingsPath), bytes);
}

void KeyboardDeviceFixture::writePicture(size_t width, size_t height)
{
    std::vector<std::uint32_t> pixels(width * height, 0xff336699u);
    auto png = ImageIO::encodePNG(*CGImage::create(width, height, std::move(pixels)));
    ASSERT_TRUE(png);
    TestSupport::writeFile(m_device.prepare(SharedFiles::backgroundImagePath), std::string(png->begin(), png->end()));
}

PropertyListValue::Dictionary KeyboardDeviceFixture::colorSettings(float r, float g, float b, float a)
{
    return { { SharedFiles::redKey, PropertyListValue(r) }, { SharedFiles::greenKey, PropertyListValue(g) }, { SharedFiles::blueKey, PropertyListValue(b) }, { SharedFiles::alphaKey, PropertyListValue(a) } };
}

std::vector<std::string> KeyboardDeviceFixture::hostArguments(const std::vector<std::string>& options) const
{
    std::vector<std::string> arguments { (TestSupport::binaryDirectory() / "bin" / "tessary8-keyboard").string(), "--root", m_device.path().string() };
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

nlohmann::json KeyboardDeviceFixture::showOnce(const std::vector<std::string>& options)
{
    TestSupport::InteractiveProcess host(hostArguments(options));
    EXPECT_EQ(host.ask("show"), "ok");
    auto report = parseReport(host.ask("report"));
    EXPECT_EQ(host.ask("quit"), "ok");
    EXPECT_EQ(host.finish(), 0) << host.standardError();
    return report;
}

nlohmann::json parseReport(const std::string& line)
{
    auto report = nlohmann::json::parse(line, nullptr, false);
    EXPECT_FALSE(report.is_discarded()) << "not JSON: " << line;
    return report.is_discarded() ? nlohmann::json::object() : report;
}
