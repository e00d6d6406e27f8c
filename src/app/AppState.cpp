#include "app/AppState.h"

namespace {
AppState g_state;
}

AppState &App()
{
    return g_state;
}

void ResetAppState()
{
    g_state = AppState{};
}

#include "app/AppComponents.h"

AppComponents &Components()
{
    static AppComponents components;
    return components;
}
