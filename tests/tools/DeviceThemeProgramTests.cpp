#include "Foundation/NSDictionary.h"
#include "ImageIO/PNGCodec.h"
#include "support/GraphicsTestSupport.h"
#include "PNGTestSupport.h"
#include "PhotoSamples.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

using Dictionary = PropertyListValue::Dictionary;
using Bytes = std::vector<std::uint8_t>;

std::string program(const char* name)
{
    return TestSupport::shellQuote((TestSupport::binaryDirectory() / "bin" / name).string());
}

std::filesystem::path hostPath(const std::filesystem::path& root, const char* devicePath)
{
    return root / std::filesystem::path(devicePath).relative_path();
}

Bytes bytesOf(const std::string& text)
{
    return { text.begin(), text.end() };
}

std::string textOf(const Bytes& bytes)
{
    return { bytes.begin(), bytes.end() };
}

CGImageRef decoded(const std::string& png)
{
    return ImageIO::decodePNG(bytesOf(png));
}

// Every entry under a root (temporaries included) with a regular file's bytes.
std::map<std::string, std::string> snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        auto name = entry.path().lexically_relative(root).string();
        entries[name] = entry.is_regular_file() ? TestSupport::readFile(entry.path()) : "(not a file)";
    }
    return entries;
}

class DeviceThemeProgram : public ::testing::Test {
protected:
    static TestSupport::CommandResult device(const std::filesystem::path& root, const std::string& arguments)
    {
        return TestSupport::runCommand(program("tessary8-device") + " --root " + TestSupport::shellQuote(root.string()) + " " + arguments + " 2>&1");
    }
    std::string file(const std::string& name, const std::string& bytes)
    {
        auto path = m_files.path() / name;
        TestSupport::writeFile(path, bytes);
        return path.string();
    }
    static CGImageRef keyboard(const std::filesystem::path& root)
    {
        auto out = root / "keyboard.png";
        auto shown = TestSupport::runCommand(program("tessary8-keyboard") + " --root " + TestSupport::shellQuote(root.string()) + " --out "
            + TestSupport::shellQuote(out.string()) + " >/dev/null 2>&1");
        EXPECT_EQ(shown.exitCode, 0);
        auto image = decoded(TestSupport::readFile(out));
        std::filesystem::remove(out);
        return image;
    }
    static Dictionary settingsOf(const std::filesystem::path& root)
    {
        auto settings = TestSupport::readSettings(root);
        return settings ? settings->entries() : Dictionary {};
    }
    static void writeSettings(const std::filesystem::path& root, const Dictionary& entries)
    {
        TestSupport::writeFile(hostPath(root, SharedFiles::settingsPath), PropertyListValue(entries).toXML());
    }
    std::string picture(size_t width, size_t height)
    {
        auto png = ImageIO::encodePNG(*PhotoSamples::cornerPicture(width, height));
        EXPECT_TRUE(png);
        return png ? textOf(*png) : std::string();
    }

    TestSupport::TemporaryDirectory m_from;
    TestSupport::TemporaryDirectory m_to;
    TestSupport::TemporaryDirectory m_files;
};

TEST_F(DeviceThemeProgram, ExportThenImportOnAFreshDeviceGivesTheSameKeyboard)
{
    const std::string pictureFile = TestSupport::shellQuote(file("picture.png", picture(64, 32)));
    struct Look {
        const char* label;
        std::vector<std::string> setCommands;
        bool hasPicture;
        bool showsSomething;  // else the keyboard looks as on a fresh device
    };
    const Look looks[] = {
        { "colour and picture, both switches on", { "set --color 0.2,0.45,0.9,1 --color-switch on", "set --image " + pictureFile, "set --image-switch on" }, true, true },
        { "colour on, picture kept but its switch off", { "set --color 1,0.5,0,0.75 --color-switch on", "set --image " + pictureFile }, true, true },
        { "picture without a colour: no Settings file", { "set --image " + pictureFile }, true, false },
        { "nothing: an empty look", {}, false, false },
    };
    for (const auto& look : looks) {
        SCOPED_TRACE(look.label);
        for (const auto* root : { &m_from, &m_to }) {
            std::filesystem::remove_all(root->path() / "var");
            std::filesystem::remove_all(root->path() / "Library");
            ASSERT_EQ(device(root->path(), "init").exitCode, 0);
        }
        for (const auto& command : look.setCommands)
            ASSERT_EQ(device(m_from.path(), command).exitCode, 0) << command;
        auto before = keyboard(m_to.path());
        if (auto settings = settingsOf(m_from.path()); !settings.empty()) {
            // Keys the system does not read are not part of a look.
            settings.emplace("note", "kept at home");
            writeSettings(m_from.path(), settings);
        }

        auto theme = m_files.path() / "look.plist";
        auto exported = device(m_from.path(), "export " + TestSupport::shellQuote(theme.string()));
        ASSERT_EQ(exported.exitCode, 0) << exported.output;
        auto toStandardOutput = TestSupport::runCommand(program("tessary8-device") + " --root " + TestSupport::shellQuote(m_from.path().string()) + " export - 2>/dev/null");
        EXPECT_EQ(toStandardOutput.output, TestSupport::readFile(theme));
        auto parsed = PropertyListValue::fromBytes(bytesOf(TestSupport::readFile(theme)));
        ASSERT_TRUE(parsed);
        auto* entries = parsed->get<Dictionary>();
        ASSERT_TRUE(entries);
        EXPECT_EQ(entries->contains("BackgroundImage"), look.hasPicture);
        EXPECT_FALSE(entries->at("Settings").get<Dictionary>()->contains("note"));

        auto imported = device(m_to.path(), "import " + TestSupport::shellQuote(theme.string()));
        ASSERT_EQ(imported.exitCode, 0) << imported.output;
        auto from = settingsOf(m_from.path());
        auto to = settingsOf(m_to.path());
        from.erase("note");
        EXPECT_EQ(to, from);
        auto pictureFrom = hostPath(m_from.path(), SharedFiles::backgroundImagePath);
        auto pictureTo = hostPath(m_to.path(), SharedFiles::backgroundImagePath);
        EXPECT_EQ(std::filesystem::exists(pictureTo), look.hasPicture);
        if (look.hasPicture) {
            EXPECT_TRUE(TestSupport::samePixels(decoded(TestSupport::readFile(pictureTo)), decoded(TestSupport::readFile(pictureFrom))));
        }

        auto shown = keyboard(m_to.path());
        EXPECT_TRUE(TestSupport::samePixels(shown, keyboard(m_from.path())));
        EXPECT_NE(TestSupport::samePixels(shown, before), look.showsSomething);
    }
}

TEST_F(DeviceThemeProgram, ImportReadsStandardInputWithTheSameChecks)
{
    for (const auto* root : { &m_from, &m_to })
        ASSERT_EQ(device(root->path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_from.path(), "set --color 0.1,0.8,0.3,1 --color-switch on").exitCode, 0);
    auto piped = TestSupport::runCommand(program("tessary8-device") + " --root " + TestSupport::shellQuote(m_from.path().string()) + " export - | "
        + program("tessary8-device") + " --root " + TestSupport::shellQuote(m_to.path().string()) + " import - 2>&1");
    ASSERT_EQ(piped.exitCode, 0) << piped.output;
    EXPECT_EQ(settingsOf(m_to.path()), settingsOf(m_from.path()));

    const auto before = snapshot(m_to.path());
    struct Case {
        const char* label;
        std::string input;  // a shell command whose output is the theme
        const char* says;
    };
    const Case cases[] = {
        { "not a property list", "echo hello", "import: standard input: " },
        { "past the limit", "head -c 9437184 /dev/zero", "import: standard input: larger than 8 MiB" },
        { "nothing", "true", "import: standard input: " },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto refused = TestSupport::runCommand(c.input + " | " + program("tessary8-device") + " --root " + TestSupport::shellQuote(m_to.path().string()) + " import - 2>&1");
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.output.find(c.says), std::string::npos) << refused.output;
        EXPECT_EQ(snapshot(m_to.path()), before);
    }
}

TEST_F(DeviceThemeProgram, AnyPropertyListToolReadsATheme)
{
    if (TestSupport::runCommand("python3 -c 'import plistlib' 2>/dev/null").exitCode != 0)
        GTEST_SKIP() << "python3 with plistlib is not available";
    ASSERT_EQ(device(m_from.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_from.path(), "set --color 0,0.5,1,1 --color-switch on --image " + TestSupport::shellQuote(file("p.png", picture(16, 32)))).exitCode, 0);
    auto theme = m_files.path() / "look.plist";
    ASSERT_EQ(device(m_from.path(), "export " + TestSupport::shellQuote(theme.string())).exitCode, 0);
    auto read = TestSupport::runCommand("python3 -c 'import plistlib, sys; t = plistlib.load(open(sys.argv[1], \"rb\")); "
                                        "print(t[\"Format\"], t[\"Version\"], sorted(t[\"Switches\"].items()), sorted(t[\"Settings\"]), t[\"BackgroundImage\"][:4])' "
        + TestSupport::shellQuote(theme.string()));
    EXPECT_EQ(read.output, "Tessary8 theme 1 [('image_open', False), ('open', True)] ['a', 'b', 'g', 'open', 'r'] b'\\x89PNG'\n");
}

TEST_F(DeviceThemeProgram, ImportRefusesHostileThemesAndChangesNothing)
{
    ASSERT_EQ(device(m_from.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_from.path(), "set --color 0.1,0.2,0.3,1 --color-switch on --image " + TestSupport::shellQuote(file("a.png", picture(16, 32)))).exitCode, 0);
    auto valid = m_files.path() / "valid.plist";
    ASSERT_EQ(device(m_from.path(), "export " + TestSupport::shellQuote(valid.string())).exitCode, 0);
    const std::string validText = TestSupport::readFile(valid);
    const Dictionary theme = *PropertyListValue::fromBytes(bytesOf(validText))->get<Dictionary>();
    const Bytes png = bytesOf(picture(16, 32));

    // The receiving device has a look of its own and a key no theme carries.
    ASSERT_EQ(device(m_to.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_to.path(), "set --color 1,1,1,1 --image-switch on --image " + TestSupport::shellQuote(file("b.png", picture(32, 32)))).exitCode, 0);
    auto settings = settingsOf(m_to.path());
    settings.emplace("note", "mine");
    writeSettings(m_to.path(), settings);
    const auto before = snapshot(m_to.path());

    auto changed = [&](const std::function<void(Dictionary&)>& change) {
        Dictionary copy = theme;
        change(copy);
        return PropertyListValue(copy).toXML();
    };
    auto setting = [&](const char* key, PropertyListValue value) {
        return changed([=](Dictionary& t) { (*t["Settings"].get<Dictionary>())[key] = value; });
    };
    auto switchState = [&](const char* key, PropertyListValue value) {
        return changed([=](Dictionary& t) { (*t["Switches"].get<Dictionary>())[key] = value; });
    };
    auto withPicture = [&](const Bytes& bytes) {
        return changed([=](Dictionary& t) { t["BackgroundImage"] = PropertyListValue(PropertyListValue::Storage(bytes)); });
    };
    enum class Kind { File, Fifo, Folder, Missing };
    struct Case {
        const char* label;
        Kind kind;
        std::string content;
        const char* says;
    };
    const Case cases[] = {
        { "truncated", Kind::File, validText.substr(0, validText.size() / 2), "not a property list (truncated or damaged)" },
        { "not a property list", Kind::File, "hello", "not a property list (truncated or damaged)" },
        { "empty", Kind::File, "", "not a property list (truncated or damaged)" },
        { "root not a dictionary", Kind::File, PropertyListValue(PropertyListValue::Array { 1.0 }).toXML(), "its root is an array, not a dictionary" },
        { "another format", Kind::File, changed([](Dictionary& t) { t["Format"] = "Other theme"; }), "not a theme (its \"Format\" is not \"Tessary8 theme\")" },
        { "no format", Kind::File, changed([](Dictionary& t) { t.erase("Format"); }), "not a theme (its \"Format\" is not" },
        { "later version", Kind::File, changed([](Dictionary& t) { t["Version"] = PropertyListValue::integer(2); }),
            "a theme of version 2, which this tool does not read (it reads version 1)" },
        { "version not an integer", Kind::File, changed([](Dictionary& t) { t["Version"] = "1"; }), "its \"Version\" is not an integer" },
        { "unknown part", Kind::File, changed([](Dictionary& t) { t["Fonts"] = "Helvetica"; }), "\"Fonts\" is not part of a theme of version 1" },
        { "component a string", Kind::File, setting("r", "0.5"), "Settings: \"r\" is not a number (it is a string)" },
        { "component above 1", Kind::File, setting("g", 1.5), "Settings: \"g\" is 1.5, outside 0..1" },
        { "component below 0", Kind::File, setting("b", PropertyListValue::integer(-1)), "Settings: \"b\" is -1, outside 0..1" },
        { "key the system does not read", Kind::File, setting("note", "theirs"), "Settings: \"note\" is not a key the system reads" },
        { "settings not a dictionary", Kind::File, changed([](Dictionary& t) { t["Settings"] = "r=1"; }), "Settings: not a dictionary (it is a string)" },
        { "switch not a boolean", Kind::File, switchState("open", "1"), "Switches: \"open\" is not a boolean (it is a string)" },
        { "switch without a state", Kind::File, changed([](Dictionary& t) { t["Switches"].get<Dictionary>()->erase("image_open"); }),
            "Switches: no state for \"image_open\"" },
        { "no switches", Kind::File, changed([](Dictionary& t) { t.erase("Switches"); }), "no \"Switches\"" },
        { "switch off while its key is carried", Kind::File, switchState("open", false), "Switches: \"open\" is off but Settings carries it" },
        { "switch on while its key is not carried", Kind::File, switchState("image_open", true), "Switches: \"image_open\" is on but Settings does not carry it" },
        { "picture not data", Kind::File, changed([](Dictionary& t) { t["BackgroundImage"] = "picture.png"; }), "BackgroundImage: not data (it is a string)" },
        { "picture not a PNG", Kind::File, withPicture(bytesOf("GIF89a not really")), "BackgroundImage: not a PNG" },
        { "picture wider than the decoder takes", Kind::File, withPicture(PNGTestSupport::withHeaderSize(png, 40000, 1)), "over the decoder's limits" },
        { "picture with too many pixels", Kind::File, withPicture(PNGTestSupport::withHeaderSize(png, 20000, 20000)), "over the decoder's limits" },
        { "picture truncated", Kind::File, withPicture(Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2))),
            "BackgroundImage: a PNG that does not decode (damaged or truncated)" },
        { "oversized file", Kind::File, validText + std::string(9 << 20, ' '), "larger than 8 MiB" },
        { "FIFO", Kind::Fifo, "", "not a regular file (a FIFO)" },
        { "folder", Kind::Folder, "", "not a regular file (a folder)" },
        { "missing", Kind::Missing, "", "No such file or directory" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto path = m_files.path() / "hostile.plist";
        std::filesystem::remove_all(path);
        switch (c.kind) {
        case Kind::File:
            TestSupport::writeFile(path, c.content);
            break;
        case Kind::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case Kind::Folder:
            std::filesystem::create_directory(path);
            break;
        case Kind::Missing:
            break;
        }
        auto result = device(m_to.path(), "import " + TestSupport::shellQuote(path.string()));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.output.rfind("tessary8-device: import: " + path.string() + ": ", 0), 0u) << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
        EXPECT_EQ(snapshot(m_to.path()), before);
    }
}

TEST_F(DeviceThemeProgram, ImportChangesOnlyTheKeysTheThemeCarries)
{
    const Dictionary deviceSettings { { "r", 0.25 }, { "g", 0.5 }, { "b", 0.75 }, { "a", 1.0 }, { "open", "1" }, { "note", "mine" } };
    auto themeWith = [](bool colorOn, bool imageOn, Dictionary settings) {
        return PropertyListValue(Dictionary { { "Format", "Tessary8 theme" }, { "Version", PropertyListValue::integer(1) },
                                     { "Switches", Dictionary { { "open", colorOn }, { "image_open", imageOn } } }, { "Settings", settings } })
            .toXML();
    };
    struct Case {
        const char* label;
        std::string theme;
        std::optional<Dictionary> before;  // nullopt: no Settings file
        std::optional<Dictionary> after;
    };
    const Case cases[] = {
        { "switches only: colour off, picture on", themeWith(false, true, { { "image_open", true } }), deviceSettings,
            Dictionary { { "r", 0.25 }, { "g", 0.5 }, { "b", 0.75 }, { "a", 1.0 }, { "image_open", true }, { "note", "mine" } } },
        { "an empty look turns the switches off", themeWith(false, false, {}), deviceSettings,
            Dictionary { { "r", 0.25 }, { "g", 0.5 }, { "b", 0.75 }, { "a", 1.0 }, { "note", "mine" } } },
        { "part of a colour", themeWith(true, false, { { "r", 1.0 }, { "open", PropertyListValue::integer(1) } }), deviceSettings,
            Dictionary { { "r", 1.0 }, { "g", 0.5 }, { "b", 0.75 }, { "a", 1.0 }, { "open", PropertyListValue::integer(1) }, { "note", "mine" } } },
        { "a colour starts a Settings file", themeWith(false, false, { { "r", 0.0 }, { "g", 0.0 }, { "b", 1.0 }, { "a", 1.0 } }), std::nullopt,
            Dictionary { { "r", 0.0 }, { "g", 0.0 }, { "b", 1.0 }, { "a", 1.0 } } },
        { "switches off need no Settings file", themeWith(false, false, {}), std::nullopt, std::nullopt },
    };
    ASSERT_EQ(device(m_to.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_to.path(), "set --image " + TestSupport::shellQuote(file("b.png", picture(32, 32)))).exitCode, 0);
    const auto pictureFile = hostPath(m_to.path(), SharedFiles::backgroundImagePath);
    const auto pictureBytes = TestSupport::readFile(pictureFile);
    const auto settingsFile = hostPath(m_to.path(), SharedFiles::settingsPath);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove(settingsFile);
        if (c.before)
            writeSettings(m_to.path(), *c.before);
        auto result = device(m_to.path(), "import " + TestSupport::shellQuote(file("theme.plist", c.theme)));
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(std::filesystem::exists(settingsFile), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(settingsOf(m_to.path()), *c.after);
        }
        // A theme without a picture leaves the device's alone.
        EXPECT_EQ(TestSupport::readFile(pictureFile), pictureBytes);
    }
}

TEST_F(DeviceThemeProgram, ExportNamesWhyTheLookCannotBeRead)
{
    const auto root = m_from.path();
    const auto settingsFile = hostPath(root, SharedFiles::settingsPath);
    const auto pictureFile = hostPath(root, SharedFiles::backgroundImagePath);
    const auto theme = m_files.path() / "look.plist";
    enum class Plant { SettingsIsAFolder, SettingsBroken, ComponentIsText, PictureIsAFolder, PictureNotAPNG, PictureTooLarge, None };
    struct Case {
        const char* label;
        Plant plant;
        std::filesystem::path target;
        const char* says;
    };
    const Case cases[] = {
        { "Settings file a folder", Plant::SettingsIsAFolder, theme, "export: cannot read the Settings file /var/mobile/Library/Preferences/com.quarrow.tintwell.plist: not a regular file (a folder)" },
        { "Settings file broken", Plant::SettingsBroken, theme, "com.quarrow.tintwell.plist does not parse as a property list" },
        { "component as text", Plant::ComponentIsText, theme, "\"g\" is not a number (it is a string), which a theme cannot carry" },
        { "picture a folder", Plant::PictureIsAFolder, theme, "export: cannot read the Background image file /Library/Application Support/Tintwell/backImage/backimage.png: not a regular file (a folder)" },
        { "picture not a PNG", Plant::PictureNotAPNG, theme, "backimage.png is not a PNG, which a theme cannot carry" },
        { "picture larger than a theme holds", Plant::PictureTooLarge, theme, "backimage.png is larger than 8 MiB" },
        { "theme into a missing folder", Plant::None, m_files.path() / "missing" / "look.plist", "No such file or directory" },
        { "theme onto a folder", Plant::None, m_files.path(), "Is a directory" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(root / "var");
        std::filesystem::remove_all(root / "Library");
        std::filesystem::remove(theme);
        ASSERT_EQ(device(root, "init").exitCode, 0);
        switch (c.plant) {
        case Plant::SettingsIsAFolder:
            std::filesystem::create_directories(settingsFile);
            break;
        case Plant::SettingsBroken:
            TestSupport::writeFile(settingsFile, "<plist>broken");
            break;
        case Plant::ComponentIsText:
            writeSettings(root, { { "r", 0.5 }, { "g", "0.5" } });
            break;
        case Plant::PictureIsAFolder:
            std::filesystem::create_directories(pictureFile);
            break;
        case Plant::PictureNotAPNG:
            TestSupport::writeFile(pictureFile, "GIF89a");
            break;
        case Plant::PictureTooLarge:
            TestSupport::writeFile(pictureFile, picture(16, 16) + std::string(9 << 20, '\0'));
            break;
        case Plant::None:
            break;
        }
        auto result = device(root, "export " + TestSupport::shellQuote(c.target.string()));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
        EXPECT_FALSE(std::filesystem::exists(theme));
    }
}

}

namespace {

TEST_F(DeviceThemeProgram, ASettingsWriteThatFailsPutsTheOldPictureBack)
{
    ASSERT_EQ(device(m_from.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_from.path(), "set --color 0,1,0,1 --image-switch on --image " + TestSupport::shellQuote(file("a.png", picture(16, 32)))).exitCode, 0);
    auto theme = m_files.path() / "look.plist";
    ASSERT_EQ(device(m_from.path(), "export " + TestSupport::shellQuote(theme.string())).exitCode, 0);

    ASSERT_EQ(device(m_to.path(), "init").exitCode, 0);
    ASSERT_EQ(device(m_to.path(), "set --color 1,1,1,1 --image " + TestSupport::shellQuote(file("b.png", picture(32, 32)))).exitCode, 0);
    // Every check passes, but the writers' lock cannot be taken once the picture is written.
    std::filesystem::remove(hostPath(m_to.path(), SharedFiles::settingsLockPath));
    std::filesystem::create_directory(hostPath(m_to.path(), SharedFiles::settingsLockPath));
    const auto before = snapshot(m_to.path());
    auto result = device(m_to.path(), "import " + TestSupport::shellQuote(theme.string()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("cannot take the writers' lock"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("not a regular file; nothing was changed"), std::string::npos) << result.output;
    EXPECT_EQ(snapshot(m_to.path()), before);
}

}
