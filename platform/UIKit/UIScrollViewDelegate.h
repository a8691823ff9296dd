#pragma once

class UIScrollView;

// What a scroll view tells its delegate. Every method is optional on the platform, so each
// does nothing unless overridden; the class itself is abstract.
class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = 0;

    // The content offset changed, by a drag or a call.
    virtual void scrollViewDidScroll(UIScrollView&) { }
    virtual void scrollViewWillBeginDragging(UIScrollView&) { }
    // Nothing here decelerates, so willDecelerate is always false.
    virtual void scrollViewDidEndDragging(UIScrollView&, bool /* willDecelerate */) { }
};

inline UIScrollViewDelegate::~UIScrollViewDelegate() = default;
