#include "host/CommandLineOutput.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(CommandLineOutput, DashIsTheGivenStreamAndAnyOtherNameAFile)
{
    TestSupport::TemporaryDirectory folder;
    const std::string text = "\x89PNG bytes";
    std::span<const std::uint8_t> bytes { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
    struct {
        const char* name;
        std::string file;
        bool streamFails;
        bool succeeds;
        std::string streamed;
    } cases[] = {
        { "dash", "-", false, true, text },
        { "dash on a failed stream", "-", true, false, "" },
        { "file", (folder.path() / "shot.png").string(), false, true, "" },
        { "empty name", "", false, false, "" },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        std::ostringstream stream;
        if (entry.streamFails)
            stream.setstate(std::ios::badbit);
        EXPECT_EQ(writeCommandLineOutput(entry.file, bytes, stream), entry.succeeds);
        EXPECT_EQ(stream.str(), entry.streamed);
    }
    EXPECT_EQ(TestSupport::readFile(folder.path() / "shot.png"), text);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "-"));
}
