#include "AppScriptFixture.h"
#include "ImageIO/PNGCodec.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class PreviewScript : public AppScriptFixture {
protected:
    void SetUp() override { ASSERT_EQ(TestSupport::runCommand(device("init")).exitCode, 0); }
    CGImageRef decoded(const std::string& file) const
    {
        auto bytes = TestSupport::readFile(m_root.path() / file);
        return ImageIO::decodePNG(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }
};

}

TEST_F(PreviewScript, PreviewWritesTheKeyboardAsTheSharedFilesAreAfterEachChange)
{
    auto path = [&](const char* name) { return (m_root.path() / name).string(); };
    int exitCode = -1;
    auto answers = runScript("preview " + path("before.png") + "\n"
                             "tap 136,390\nbutton Save\nwait 0.4\nbutton OK\nwait 0.4\nbutton TurnOn\n"
                             "preview " + path("after.png") + "\n"
                             "preview\n",
        exitCode);
    EXPECT_EQ(exitCode, 1) << "the last command fails";
    ASSERT_EQ(answers.size(), 9u);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(answers[i], "ok") << i;
    EXPECT_EQ(answers[8], "error: preview needs a file name");

    auto before = decoded("before.png");
    auto after = decoded("after.png");
    ASSERT_TRUE(before);
    EXPECT_FALSE(TestSupport::samePixels(before, after)) << "the saved colour shows once it is on";
    ASSERT_EQ(showKeyboard("reference.png").exitCode, 0);
    EXPECT_TRUE(TestSupport::samePixels(after, decoded("reference.png"))) << "as a newly opened application shows it";
}

TEST_F(PreviewScript, WithoutThePreviewTheCommandSaysSo)
{
    auto result = TestSupport::runCommand(program("tessary8-app") + " --headless --no-preview --root " + root() + " --script - 2>/dev/null",
        "preview " + (m_root.path() / "x.png").string() + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "error: the preview is off (--no-preview)\n");
    EXPECT_FALSE(std::filesystem::exists(m_root.path() / "x.png"));
}
