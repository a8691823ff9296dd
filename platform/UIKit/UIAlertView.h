#pragma once

#include "UIKit/UIAlertViewDelegate.h"
#include "UIKit/UIButton.h"
#include "UIKit/UILabel.h"
#include "UIKit/UIWindow.h"

#include <memory>
#include <string>
#include <vector>

class UIAlertView;
using UIAlertViewRef = std::shared_ptr<UIAlertView>;

// A modal message with buttons. The alert view is the rounded box itself. Shown, it sits
// centred in a window of its own at the alert level that covers the screen, over a
// dimming view, so nothing else takes touches until it is dismissed: the window's
// subviews are the dimming view, then the alert. Its buttons are UIButtons (system type)
// whose current title is the button's title, in index order in buttons().
//
// Button indexes: the cancel button first when there is one, then the other buttons in
// the order given. Two buttons sit side by side, the cancel button at the left; more
// are stacked, the cancel button at the bottom.
//
// An alert shown while another is on screen waits until every alert shown before it has
// gone. From show() until it has gone the alert keeps itself alive; the delegate is not
// owned.
class UIAlertView : public UIView {
    OBJC_CLASS(UIAlertView, UIView)
    // Empty strings stand for no title, no message, no cancel button; empty entries of
    // otherButtonTitles are skipped.
    [[nodiscard]] static UIAlertViewRef initWithTitle(std::string title, std::string message, std::weak_ptr<UIAlertViewDelegate> delegate,
        std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});

    [[nodiscard]] const std::string& title() const { return m_title; }
    [[nodiscard]] const std::string& message() const { return m_message; }
    [[nodiscard]] std::shared_ptr<UIAlertViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UIAlertViewDelegate> delegate) { m_delegate = std::move(delegate); }

    [[nodiscard]] long numberOfButtons() const { return static_cast<long>(m_buttons.size()); }
    // Empty for an index out of range.
    [[nodiscard]] std::string buttonTitleAtIndex(long index) const;
    // -1 without a cancel button.
    [[nodiscard]] long cancelButtonIndex() const { return m_hasCancelButton ? 0 : -1; }

    // On screen: from show() (once no alert is before it) until it has faded out.
    [[nodiscard]] bool isVisible() const { return static_cast<bool>(m_window); }
    // Puts the alert on screen, or in the queue behind the alert on screen. Showing an
    // alert that is shown or queued already does nothing.
    void show();
    // Takes the alert off the screen (fading out when animated), then tells the delegate.
    // A queued alert just leaves the queue.
    void dismissWithClickedButtonIndex(long buttonIndex, bool animated);

    // The views, for whoever inspects the screen.
    [[nodiscard]] const std::vector<UIButtonRef>& buttons() const { return m_buttons; }
    [[nodiscard]] const UILabelRef& titleLabel() const { return m_titleLabel; }
    [[nodiscard]] const UILabelRef& messageLabel() const { return m_messageLabel; }
    // While visible.
    [[nodiscard]] const UIViewRef& dimmingView() const { return m_dimmingView; }
    [[nodiscard]] const UIWindowRef& alertWindow() const { return m_window; }

    // The appearance, as the platform draws it.
    static constexpr CGFloat width = 270;
    static constexpr CGFloat buttonHeight = 44;
    static constexpr double appearDuration = 0.3;
    static constexpr double disappearDuration = 0.25;
    static constexpr CGFloat appearScale = 1.2f;

protected:
    void didAllocate() override;

private:
    void addButton(const std::string& title, bool isCancel);
    void present();
    void animateAppearance();
    void finishDismissal(long buttonIndex);
    // Places the labels, hairlines and buttons for the screen's height; answers the box's height.
    [[nodiscard]] CGFloat arrange(CGFloat screenHeight);
    [[nodiscard]] UIViewRef makeHairline();

    // Target actions of the buttons.
    void buttonTapped(const std::shared_ptr<UIControl>&);
    void buttonPressed(const std::shared_ptr<UIControl>&);
    void buttonReleased(const std::shared_ptr<UIControl>&);

    std::string m_title;
    std::string m_message;
    std::weak_ptr<UIAlertViewDelegate> m_delegate;
    bool m_hasCancelButton = false;
    UILabelRef m_titleLabel;
    UILabelRef m_messageLabel;
    std::vector<UIButtonRef> m_buttons;
    std::vector<UIViewRef> m_hairlines;
    UIWindowRef m_window;
    UIViewRef m_dimmingView;
    std::weak_ptr<UIWindow> m_previousKeyWindow;
    bool m_dismissing = false;
};
