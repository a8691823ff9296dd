#include "host/ViewTreeDescription.h"

#include "UIKit/UIImageView.h"

#include <nlohmann/json.hpp>

nlohmann::json describeColor(const UIColorRef& color)
{
    if (!color || !color->CGColor())
        return nullptr;
    const auto& cgColor = color->CGColor();
    nlohmann::json components = nlohmann::json::array();
    for (CGFloat component : cgColor->components())
        components.push_back(component);
    return { { "space", CGColorSpaceModelName(CGColorSpaceGetModel(cgColor->colorSpace())) }, { "components", components } };
}

nlohmann::json describeViewTree(const UIView& view)
{
    CGRect frame = view.frame();
    nlohmann::json description {
        { "class", object_getClassName(&view) },
        { "frame", { frame.origin.x, frame.origin.y, frame.size.width, frame.size.height } },
        { "backgroundColor", describeColor(view.backgroundColor()) },
        { "autoresizingMask", view.autoresizingMask() },
    };
    if (auto* imageView = dynamic_cast<const UIImageView*>(&view)) {
        if (auto& image = imageView->image())
            description["image"] = { { "size", { image->size().width, image->size().height } } };
        else
            description["image"] = nullptr;
    }
    nlohmann::json subviews = nlohmann::json::array();
    for (const auto& subview : view.subviews())
        subviews.push_back(describeViewTree(*subview));
    description["subviews"] = std::move(subviews);
    return description;
}
