#pragma once

// The event-handler type shared by the controls and the print library, telling a handler who sent the event.

#include <functional>

class QObject;

/** An event handler that is told which component sent the event; an empty one is no handler. */
using TNotifyEvent = std::function<void(QObject* sender)>;
