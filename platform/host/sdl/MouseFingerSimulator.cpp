#include "host/sdl/MouseFingerSimulator.h"

MouseFingerSimulator::MouseFingerSimulator(CGSize screen)
    : m_screen(screen)
{
}

CGPoint MouseFingerSimulator::onScreen(CGPoint point) const
{
    return { std::clamp(point.x, CGFloat(0), std::max(m_screen.width, CGFloat(0))), std::clamp(point.y, CGFloat(0), std::max(m_screen.height, CGFloat(0))) };
}

std::vector<UIFingerSample> MouseFingerSimulator::samples(CGPoint pointer, UITouchPhase phase) const
{
    std::vector<UIFingerSample> fingers { { firstFinger, phase, pointer } };
    switch (*m_fingers) {
    case Fingers::One:
        break;
    case Fingers::Mirrored:
        fingers.push_back({ secondFinger, phase, { m_screen.width - pointer.x, m_screen.height - pointer.y } });
        break;
    case Fingers::Together:
        fingers.push_back({ secondFinger, phase, onScreen({ pointer.x + m_togetherOffset, pointer.y }) });
        break;
    }
    return fingers;
}

std::vector<UIFingerSample> MouseFingerSimulator::press(CGPoint point, Fingers fingers)
{
    if (m_fingers)
        return {};
    m_fingers = fingers;
    m_pointer = onScreen(point);
    // The pair starts on the screen: beside the pointer on whichever side has room.
    m_togetherOffset = m_pointer.x + togetherSpacing <= m_screen.width ? togetherSpacing : -togetherSpacing;
    return samples(m_pointer, UITouchPhaseBegan);
}

std::vector<UIFingerSample> MouseFingerSimulator::move(CGPoint point)
{
    CGPoint pointer = onScreen(point);
    if (!m_fingers || pointer == m_pointer)
        return {};
    m_pointer = pointer;
    return samples(m_pointer, UITouchPhaseMoved);
}

std::vector<UIFingerSample> MouseFingerSimulator::release(CGPoint point)
{
    if (!m_fingers)
        return {};
    m_pointer = onScreen(point);
    auto fingers = samples(m_pointer, UITouchPhaseEnded);
    m_fingers.reset();
    return fingers;
}

std::vector<UIFingerSample> MouseFingerSimulator::cancel()
{
    if (!m_fingers)
        return {};
    auto fingers = samples(m_pointer, UITouchPhaseCancelled);
    m_fingers.reset();
    return fingers;
}
