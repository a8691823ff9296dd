#include "QuartzCore/CAContext.h"

#include <algorithm>

namespace {

std::vector<std::weak_ptr<CAContext>>& contexts()
{
    static std::vector<std::weak_ptr<CAContext>> list;
    return list;
}

}

CAContextRef CAContext::contextWithLayer(CALayerRef layer)
{
    auto context = std::make_shared<CAContext>(std::move(layer));
    auto& list = contexts();
    std::erase_if(list, [](const std::weak_ptr<CAContext>& entry) { return entry.expired(); });
    list.push_back(context);
    return context;
}

std::vector<CAContextRef> CAContext::allContexts()
{
    std::vector<CAContextRef> alive;
    for (auto& entry : contexts()) {
        if (auto context = entry.lock())
            alive.push_back(std::move(context));
    }
    return alive;
}

void CAContext::prepareForCommit()
{
    if (!m_layer)
        return;
    m_layer->layoutIfNeeded();
    m_layer->displayIfNeededInTree();
}
