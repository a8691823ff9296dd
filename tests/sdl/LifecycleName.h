#pragma once

#include "host/sdl/SDLWindowHost.h"

#include <string>

inline std::string lifecycleName(SDLWindowHost::Lifecycle step)
{
    switch (step) {
    case SDLWindowHost::Lifecycle::ResignActive:
        return "resign";
    case SDLWindowHost::Lifecycle::BecomeActive:
        return "become";
    case SDLWindowHost::Lifecycle::EnterBackground:
        return "background";
    case SDLWindowHost::Lifecycle::EnterForeground:
        return "foreground";
    case SDLWindowHost::Lifecycle::Terminate:
        return "terminate";
    }
    return "?";
}
