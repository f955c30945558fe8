#pragma once
// The event types shared by all components.

#include <functional>

class TObject;

using TNotifyEvent = std::function<void(TObject* Sender)>;
