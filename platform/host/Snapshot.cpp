#include "host/Snapshot.h"

#include "Foundation/AtomicFile.h"
#include "UIKit/UIViewRendering.h"

bool writeViewSnapshot(UIView& view, CGFloat scale, const std::filesystem::path& file)
{
    auto png = UIImagePNGRepresentation(renderViewToImage(view, scale));
    return !png.empty() && Foundation::writeFileAtomically(file, png);
}
