#include "host/Snapshot.h"

#include "Foundation/AtomicFile.h"
#include "UIKit/UIViewRendering.h"

std::vector<std::uint8_t> viewSnapshotPNG(UIView& view, CGFloat scale)
{
    return UIImagePNGRepresentation(renderViewToImage(view, scale));
}

bool writeViewSnapshot(UIView& view, CGFloat scale, const std::filesystem::path& file)
{
    auto png = viewSnapshotPNG(view, scale);
    return !png.empty() && Foundation::writeFileAtomically(file, png);
}
