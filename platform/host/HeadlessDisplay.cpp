#include "host/HeadlessDisplay.h"

#include "Foundation/AtomicFile.h"
#include "ImageIO/PNGCodec.h"

bool HeadlessDisplay::writeShot(const std::filesystem::path& file) const
{
    if (!m_frame)
        return false;
    auto png = ImageIO::encodePNG(*m_frame);
    return png && Foundation::writeFileAtomically(file, *png);
}
