#include "host/ScreenDescription.h"

#include "UIKit/UIApplication.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImagePickerController.h"
#include "UIKit/UIImagePickerGridController.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UIScrollView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UINavigationBar.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITabBarButton.h"
#include "UIKit/UIWindow.h"
#include "host/ViewTreeDescription.h"

#include <functional>
#include <nlohmann/json.hpp>

namespace {

nlohmann::json describeImage(const UIImageRef& image)
{
    if (!image)
        return nullptr;
    nlohmann::json description { { "size", describeNumbers({ image->size().width, image->size().height }) } };
    if (!image->name().empty())
        description["name"] = image->name();
    return description;
}

std::string titleOf(const UIView& view, TitledViewKind kind)
{
    if (kind == TitledViewKind::TabBarItem) {
        auto* tab = dynamic_cast<const UITabBarButton*>(&view);
        return tab && tab->item() ? tab->item()->title() : std::string();
    }
    if (auto* button = dynamic_cast<const UIButton*>(&view))
        return std::string(button->currentTitle());
    if (auto* barButton = dynamic_cast<const UINavigationButton*>(&view))
        return barButton->title();
    return {};
}

bool shows(const UIView& view)
{
    return !view.isHidden() && view.alpha() > 0.01f;
}

// Visits the shown views of the shown windows, back to front, with each view's frame on the screen.
void forEachShownView(const std::function<void(const UIView&, const UIWindow&)>& visit)
{
    std::function<void(const UIView&, const UIWindow&)> walk = [&](const UIView& view, const UIWindow& window) {
        if (!shows(view))
            return;
        visit(view, window);
        for (auto& subview : view.subviews())
            walk(*subview, window);
    };
    for (auto& window : UIApplication::sharedApplication()->windows())
        walk(*window, *window);
}

CGRect screenFrame(const UIView& view, const UIWindow& window)
{
    CGRect bounds = view.bounds();
    CGPoint topLeft = window.convertPointToScreen(view.convertPointToView(bounds.origin, &window));
    CGPoint bottomRight = window.convertPointToScreen(view.convertPointToView(CGPointMake(CGRectGetMaxX(bounds), CGRectGetMaxY(bounds)), &window));
    return CGRectStandardize(CGRectMake(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y));
}

nlohmann::json describeView(const UIView& view, const UIWindow& window)
{
    CGRect frame = screenFrame(view, window);
    nlohmann::json description {
        { "class", object_getClassName(&view) },
        { "frame", describeNumbers({ frame.origin.x, frame.origin.y, frame.size.width, frame.size.height }) },
    };
    if (view.isHidden())
        description["hidden"] = true;
    if (view.alpha() < 1)
        description["alpha"] = describeNumbers({ view.alpha() })[0];
    if (view.backgroundColor())
        description["backgroundColor"] = describeColor(view.backgroundColor());
    if (auto* label = dynamic_cast<const UILabel*>(&view)) {
        description["text"] = label->text();
        description["textColor"] = describeColor(label->textColor());
        if (label->font())
            description["fontSize"] = describeNumbers({ label->font()->pointSize() })[0];
    } else if (auto* button = dynamic_cast<const UIButton*>(&view)) {
        description["title"] = std::string(button->currentTitle());
        if (button->currentImage())
            description["image"] = describeImage(button->currentImage());
        description["enabled"] = button->isEnabled();
    } else if (auto* barButton = dynamic_cast<const UINavigationButton*>(&view)) {
        description["title"] = barButton->title();
        if (barButton->item() && barButton->item()->tintColor())
            description["tintColor"] = describeColor(barButton->item()->tintColor());
        description["enabled"] = !barButton->item() || barButton->item()->isEnabled();
    } else if (auto* bar = dynamic_cast<const UINavigationBar*>(&view)) {
        description["title"] = bar->topItem() ? bar->topItem()->title() : std::string();
        description["barTintColor"] = describeColor(bar->barTintColor());
        description["translucent"] = bar->isTranslucent();
    } else if (auto* tab = dynamic_cast<const UITabBarButton*>(&view)) {
        description["title"] = tab->item() ? tab->item()->title() : std::string();
        description["selected"] = tab->isSelected();
        if (tab->item()) {
            description["image"] = describeImage(tab->item()->image());
            description["selectedImage"] = describeImage(tab->item()->selectedImage());
        }
    } else if (auto* imageView = dynamic_cast<const UIImageView*>(&view)) {
        description["image"] = describeImage(imageView->image());
    }
    if (!view.isHidden()) {
        nlohmann::json subviews = nlohmann::json::array();
        for (auto& subview : view.subviews())
            subviews.push_back(describeView(*subview, window));
        if (!subviews.empty())
            description["subviews"] = std::move(subviews);
    }
    return description;
}

}

nlohmann::json describeScreen()
{
    auto application = UIApplication::sharedApplication();
    auto screen = UIScreen::mainScreen();
    CGRect bounds = screen->bounds();
    nlohmann::json windows = nlohmann::json::array();
    for (auto& window : application->windows()) {
        auto description = describeView(*window, *window);
        description["windowLevel"] = describeNumbers({ window->windowLevel() })[0];
        description["keyWindow"] = window->isKeyWindow();
        windows.push_back(std::move(description));
    }
    return {
        { "screen",
            { { "size", describeNumbers({ bounds.size.width, bounds.size.height }) }, { "scale", describeNumbers({ screen->scale() })[0] },
                { "orientation", UIInterfaceOrientationIsLandscape(application->statusBarOrientation()) ? "landscape" : "portrait" } } },
        { "windows", std::move(windows) },
        { "openedURLs", application->urlOpener()->openedURLs() },
    };
}

std::optional<CGPoint> scrollToPhotoThumbnail(const std::string& fileName)
{
    std::shared_ptr<UIImagePickerThumbnail> found;
    const UIWindow* foundIn = nullptr;
    forEachShownView([&](const UIView& view, const UIWindow& window) {
        auto* thumbnail = dynamic_cast<const UIImagePickerThumbnail*>(&view);
        if (thumbnail && thumbnail->fileName() == fileName && !found) {
            found = std::static_pointer_cast<UIImagePickerThumbnail>(std::const_pointer_cast<objc_object>(view.shared_from_this()));
            foundIn = &window;
        }
    });
    if (!found)
        return std::nullopt;
    if (auto grid = std::dynamic_pointer_cast<UIScrollView>(found->superview()))
        grid->scrollRectToVisible(found->frame(), false);
    CGRect frame = screenFrame(*found, *foundIn);
    return CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame));
}

std::vector<CGPoint> findPhotoPickerCancel()
{
    std::vector<CGPoint> centres;
    forEachShownView([&](const UIView& view, const UIWindow& window) {
        auto* bar = dynamic_cast<const UINavigationButton*>(&view);
        if (!bar || bar->title() != "Cancel")
            return;
        for (auto ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
            auto controller = std::dynamic_pointer_cast<UIImagePickerController>(ancestor->viewController());
            if (controller) {
                CGRect frame = screenFrame(view, window);
                centres.push_back(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
                return;
            }
        }
    });
    return centres;
}

std::vector<CGPoint> findTitledViews(const std::string& title, TitledViewKind kind)
{
    std::vector<CGPoint> centres;
    forEachShownView([&](const UIView& view, const UIWindow& window) {
        if (titleOf(view, kind) != title)
            return;
        CGRect frame = screenFrame(view, window);
        centres.push_back(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
    });
    return centres;
}
