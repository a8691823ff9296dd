#pragma once

#include "Foundation/PropertyList.h"
#include "shared/SharedFiles.h"
#include "support/InteractiveProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

// A fresh device with the plug-in installed, and keyboard hosts started on it.
class KeyboardDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override;

    void writeSettings(const PropertyListValue::Dictionary&);
    void writeSettingsBytes(const std::string& bytes);
    void writePicture(size_t width, size_t height);
    static PropertyListValue::Dictionary colorSettings(float r, float g, float b, float a);

    [[nodiscard]] std::vector<std::string> hostArguments(const std::vector<std::string>& options = {}) const;
    // Starts a host, shows one keyboard and answers its report.
    [[nodiscard]] nlohmann::json showOnce(const std::vector<std::string>& options = {});

    TestSupport::ScopedDeviceRoot m_device;
};

// Reads "report" answers as JSON, failing the test on anything else.
[[nodiscard]] nlohmann::json parseReport(const std::string& line);
