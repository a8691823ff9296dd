#include "UIKit/UIAlertView.h"

#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

constexpr CGFloat cornerRadius = 7;
constexpr CGFloat textTop = 20;
constexpr CGFloat sideMargin = 16;
constexpr CGFloat titleToMessage = 4;
constexpr CGFloat textToButtons = 20;
constexpr CGFloat hairlineThickness = 0.5f;
constexpr CGFloat titleSize = 17;
constexpr CGFloat messageSize = 13;
constexpr CGFloat buttonTitleSize = 17;
// Kept free above and below the box when a long message has to be cut.
constexpr CGFloat screenMargin = 10;
constexpr CGFloat dimmingAlpha = 0.4f;

UIColorRef boxColor()
{
    return UIColor::colorWithWhite(247 / 255.0f, 0.97f);
}

UIColorRef hairlineColor()
{
    return UIColor::colorWithWhite(0, 0.2f);
}

UIColorRef pressedButtonColor()
{
    return UIColor::colorWithWhite(0, 0.1f);
}

// Every alert from show() until it has gone, the one on screen first. Main thread only, as
// views are. Never destroyed: an alert still up at exit must not outlive the statics its
// views rely on.
std::deque<UIAlertViewRef>& alertQueue()
{
    static auto* queue = new std::deque<UIAlertViewRef>;
    return *queue;
}

UILabelRef makeTextLabel(UIFontRef font)
{
    auto label = UILabel::initWithFrame(CGRectZero);
    label->setFont(std::move(font));
    label->setTextAlignment(NSTextAlignmentCenter);
    label->setNumberOfLines(0);
    return label;
}

}

UIAlertViewRef UIAlertView::initWithTitle(std::string title, std::string message, std::weak_ptr<UIAlertViewDelegate> delegate,
    std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles)
{
    auto alert = objc::alloc<UIAlertView>();
    alert->m_title = std::move(title);
    alert->m_message = std::move(message);
    alert->m_delegate = std::move(delegate);
    alert->m_titleLabel->setText(alert->m_title);
    alert->m_messageLabel->setText(alert->m_message);
    if (!cancelButtonTitle.empty())
        alert->addButton(cancelButtonTitle, true);
    for (auto& other : otherButtonTitles) {
        if (!other.empty())
            alert->addButton(other, false);
    }
    // A line above each row of buttons, and one between two buttons side by side.
    size_t hairlines = alert->m_buttons.size() == 2 ? 2 : alert->m_buttons.size();
    for (size_t i = 0; i < hairlines; ++i)
        alert->m_hairlines.push_back(alert->makeHairline());
    return alert;
}

void UIAlertView::didAllocate()
{
    super::didAllocate();
    setBackgroundColor(boxColor());
    setOpaque(false);
    layer()->setCornerRadius(cornerRadius);
    // A pressed button's shade stays inside the rounded corners.
    setClipsToBounds(true);
    m_titleLabel = makeTextLabel(UIFont::systemFontOfSizeWeight(titleSize, UIFontWeightSemibold));
    m_messageLabel = makeTextLabel(UIFont::systemFontOfSize(messageSize));
    addSubview(m_titleLabel);
    addSubview(m_messageLabel);
}

void UIAlertView::addButton(const std::string& title, bool isCancel)
{
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSizeWeight(buttonTitleSize, isCancel ? UIFontWeightSemibold : UIFontWeightRegular));
    // Alert buttons shade their background while pressed instead of fading their title.
    button->setTitleColor(button->tintColor(), UIControlStateHighlighted);
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    button->addTarget(self, &UIAlertView::buttonPressed, UIControlEventTouchDown | UIControlEventTouchDragEnter);
    button->addTarget(self, &UIAlertView::buttonReleased,
        UIControlEventTouchDragExit | UIControlEventTouchUpInside | UIControlEventTouchUpOutside | UIControlEventTouchCancel);
    button->addTarget(self, &UIAlertView::buttonTapped, UIControlEventTouchUpInside);
    if (isCancel) {
        m_hasCancelButton = true;
        m_buttons.insert(m_buttons.begin(), button);
    } else {
        m_buttons.push_back(button);
    }
    addSubview(button);
}

UIViewRef UIAlertView::makeHairline()
{
    auto hairline = UIView::initWithFrame(CGRectZero);
    hairline->setBackgroundColor(hairlineColor());
    hairline->setUserInteractionEnabled(false);
    hairline->layer()->setName("UIAlertViewHairline");
    addSubview(hairline);
    return hairline;
}

std::string UIAlertView::buttonTitleAtIndex(long index) const
{
    if (index < 0 || index >= numberOfButtons())
        return {};
    return m_buttons[static_cast<size_t>(index)]->titleForState(UIControlStateNormal);
}

CGFloat UIAlertView::arrange(CGFloat screenHeight)
{
    const CGFloat textWidth = width - 2 * sideMargin;
    size_t rows = m_buttons.size() > 2 ? m_buttons.size() : std::min<size_t>(m_buttons.size(), 1);
    CGFloat buttonsHeight = static_cast<CGFloat>(rows) * buttonHeight;
    CGFloat y = textTop;
    if (!m_title.empty()) {
        CGSize size = m_titleLabel->sizeThatFits(CGSizeMake(textWidth, 0));
        m_titleLabel->setFrame(CGRectMake(sideMargin, y, textWidth, size.height));
        y += size.height;
    }
    m_titleLabel->setHidden(m_title.empty());
    if (!m_message.empty()) {
        if (!m_title.empty())
            y += titleToMessage;
        // What does not fit on the screen is cut, with an ellipsis.
        CGFloat room = screenHeight - 2 * screenMargin - y - textToButtons - buttonsHeight;
        CGFloat height = std::max<CGFloat>(0, std::min(m_messageLabel->sizeThatFits(CGSizeMake(textWidth, 0)).height, room));
        m_messageLabel->setFrame(CGRectMake(sideMargin, y, textWidth, height));
        y += height;
    }
    m_messageLabel->setHidden(m_message.empty());
    y += textToButtons;

    if (m_buttons.size() == 2) {
        const CGFloat half = width / 2;
        m_hairlines[0]->setFrame(CGRectMake(0, y, width, hairlineThickness));
        m_hairlines[1]->setFrame(CGRectMake(half, y, hairlineThickness, buttonHeight));
        m_buttons[0]->setFrame(CGRectMake(0, y, half, buttonHeight));
        m_buttons[1]->setFrame(CGRectMake(half, y, half, buttonHeight));
        return y + buttonHeight;
    }
    // One row per button; stacked, the cancel button (index 0) goes to the bottom.
    for (size_t row = 0; row < m_buttons.size(); ++row) {
        size_t index = m_hasCancelButton && m_buttons.size() > 1 ? (row + 1) % m_buttons.size() : row;
        CGFloat top = y + static_cast<CGFloat>(row) * buttonHeight;
        m_hairlines[row]->setFrame(CGRectMake(0, top, width, hairlineThickness));
        m_buttons[index]->setFrame(CGRectMake(0, top, width, buttonHeight));
    }
    return y + buttonsHeight;
}

void UIAlertView::show()
{
    auto& queue = alertQueue();
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    if (std::find(queue.begin(), queue.end(), self) != queue.end())
        return;
    queue.push_back(self);
    if (queue.front() == self)
        present();
}

void UIAlertView::present()
{
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    CGRect screen = UIScreen::mainScreen()->bounds();
    m_dismissing = false;
    m_window = UIWindow::initWithFrame(screen);
    m_window->setWindowLevel(UIWindowLevelAlert);
    m_dimmingView = UIView::initWithFrame(CGRectMake(0, 0, screen.size.width, screen.size.height));
    m_dimmingView->setBackgroundColor(UIColor::colorWithWhite(0, dimmingAlpha));
    m_dimmingView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_dimmingView->layer()->setName("UIAlertViewDimming");
    m_window->addSubview(m_dimmingView);

    setTransform(CGAffineTransformIdentity);
    CGFloat height = arrange(screen.size.height);
    CGFloat scale = UIScreen::mainScreen()->scale();
    auto onPixels = [scale](CGFloat value) { return std::round(value * scale) / scale; };
    setFrame(CGRectMake(onPixels((screen.size.width - width) / 2), onPixels((screen.size.height - height) / 2), width, height));
    m_window->addSubview(self);

    // Where the appearance starts from.
    m_dimmingView->setAlpha(0);
    setAlpha(0);
    setTransform(CGAffineTransformMakeScale(appearScale, appearScale));
    m_previousKeyWindow = UIApplication::sharedApplication()->keyWindow();
    m_window->makeKeyAndVisible();

    animateAppearance();
}

void UIAlertView::animateAppearance()
{
    UIView::animateWithDuration(appearDuration, [this] {
        m_dimmingView->setAlpha(1);
        setAlpha(1);
        setTransform(CGAffineTransformIdentity);
    });
}

void UIAlertView::dismissWithClickedButtonIndex(long buttonIndex, bool animated)
{
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    if (!m_window) {
        std::erase(alertQueue(), self);
        return;
    }
    if (m_dismissing)
        return;
    m_dismissing = true;
    if (!animated) {
        finishDismissal(buttonIndex);
        return;
    }
    std::weak_ptr<UIAlertView> weakThis = self;
    UIView::animateWithDuration(
        disappearDuration,
        [this] {
            m_dimmingView->setAlpha(0);
            setAlpha(0);
        },
        [weakThis, buttonIndex](bool) {
            if (auto alert = weakThis.lock())
                alert->finishDismissal(buttonIndex);
        });
}

void UIAlertView::finishDismissal(long buttonIndex)
{
    if (!m_window)
        return;
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    // The window holds the alert and the alert its window: both go here.
    m_window->setHidden(true);
    removeFromSuperview();
    m_dimmingView->removeFromSuperview();
    m_window.reset();
    m_dimmingView.reset();
    m_dismissing = false;
    setAlpha(1);
    setTransform(CGAffineTransformIdentity);
    if (auto previous = m_previousKeyWindow.lock(); previous && !previous->isHidden())
        previous->makeKeyWindow();
    m_previousKeyWindow.reset();

    auto& queue = alertQueue();
    std::erase(queue, self);
    if (auto delegate = m_delegate.lock())
        delegate->alertViewDidDismissWithButtonIndex(*this, buttonIndex);
    if (!queue.empty() && !queue.front()->isVisible())
        queue.front()->present();
}

void UIAlertView::buttonPressed(const std::shared_ptr<UIControl>& button)
{
    button->setBackgroundColor(pressedButtonColor());
}

void UIAlertView::buttonReleased(const std::shared_ptr<UIControl>& button)
{
    button->setBackgroundColor(nullptr);
}

void UIAlertView::buttonTapped(const std::shared_ptr<UIControl>& sender)
{
    auto found = std::find(m_buttons.begin(), m_buttons.end(), sender);
    if (found == m_buttons.end() || !m_window || m_dismissing)
        return;
    auto self = std::static_pointer_cast<UIAlertView>(shared_from_this());
    long index = found - m_buttons.begin();
    if (auto delegate = m_delegate.lock())
        delegate->alertViewClickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}
