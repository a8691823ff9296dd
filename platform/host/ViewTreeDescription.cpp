#include "host/ViewTreeDescription.h"

#include "UIKit/UIImageView.h"

#include <charconv>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace {

// A CGFloat as the shortest decimal that reads back as it (0.54901963 rather
// than the double nearest to the float), so reports read as the values stored.
double number(CGFloat value)
{
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text - 1, value);
    if (error != std::errc())
        return static_cast<double>(value);
    *end = 0;
    return std::strtod(text, nullptr);
}

}

nlohmann::json describeNumbers(std::initializer_list<CGFloat> values)
{
    nlohmann::json list = nlohmann::json::array();
    for (CGFloat value : values)
        list.push_back(number(value));
    return list;
}

nlohmann::json describeColor(const UIColorRef& color)
{
    if (!color || !color->CGColor())
        return nullptr;
    const auto& cgColor = color->CGColor();
    nlohmann::json components = nlohmann::json::array();
    for (CGFloat component : cgColor->components())
        components.push_back(number(component));
    return { { "space", CGColorSpaceModelName(CGColorSpaceGetModel(cgColor->colorSpace())) }, { "components", components } };
}

nlohmann::json describeViewTree(const UIView& view)
{
    CGRect frame = view.frame();
    nlohmann::json description {
        { "class", object_getClassName(&view) },
        { "frame", describeNumbers({ frame.origin.x, frame.origin.y, frame.size.width, frame.size.height }) },
        { "backgroundColor", describeColor(view.backgroundColor()) },
        { "autoresizingMask", view.autoresizingMask() },
    };
    if (auto* imageView = dynamic_cast<const UIImageView*>(&view)) {
        if (auto& image = imageView->image())
            description["image"] = { { "size", describeNumbers({ image->size().width, image->size().height }) } };
        else
            description["image"] = nullptr;
    }
    nlohmann::json subviews = nlohmann::json::array();
    for (const auto& subview : view.subviews())
        subviews.push_back(describeViewTree(*subview));
    description["subviews"] = std::move(subviews);
    return description;
}
