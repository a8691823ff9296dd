#pragma once

#include "objc/NSObject.h"

#include <memory>

// How the keyboard is drawn. lightKeyboard goes through the runtime, so a
// plug-in can answer it.
class UIKBRenderConfig : public NSObject {
    OBJC_CLASS_WITH_METHODS(UIKBRenderConfig, NSObject)
    [[nodiscard]] static std::shared_ptr<UIKBRenderConfig> defaultConfig();

    // Asks the runtime (the hookable entry).
    [[nodiscard]] static bool lightKeyboard(const std::shared_ptr<UIKBRenderConfig>&);

    void setLightKeyboard(bool light) { m_lightKeyboard = light; }
    [[nodiscard]] bool storedLightKeyboard() const { return m_lightKeyboard; }

private:
    bool m_lightKeyboard = true;
};
