#include "host/Snapshot.h"

#include "ImageIO/PNGCodec.h"
#include "UIKit/UIColor.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(WriteViewSnapshot, WritesTheRenderingAsPNGOrNothingAtAll)
{
    TestSupport::TemporaryDirectory folder;
    struct Case {
        const char* label;
        CGSize size;
        std::filesystem::path file;
        bool written;
    };
    const Case cases[] = {
        { "a red view at scale 2", CGSizeMake(3, 2), folder.path() / "view.png", true },
        { "no area", CGSizeMake(0, 2), folder.path() / "empty.png", false },
        { "into a folder that does not exist", CGSizeMake(3, 2), folder.path() / "missing" / "view.png", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto view = UIView::initWithFrame(CGRectMake(5, 5, c.size.width, c.size.height));
        view->setBackgroundColor(UIColor::redColor());
        EXPECT_EQ(writeViewSnapshot(*view, 2, c.file), c.written);
        ASSERT_EQ(std::filesystem::exists(c.file), c.written);
        if (!c.written)
            continue;
        std::string bytes = TestSupport::readFile(c.file);
        CGImageRef image = ImageIO::decodePNG(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 6u);
        EXPECT_EQ(image->height(), 4u);
        EXPECT_EQ(TestSupport::pixelAt(*image, 0, 0), TestSupport::opaqueRed);
        EXPECT_EQ(TestSupport::pixelAt(*image, 5, 3), TestSupport::opaqueRed);
    }
}
