#pragma once
#include <Qt>

// System cursors by their identifiers, as frames and panels pass them, and the shape each shows.
namespace Cursors {
constexpr int ARROW = 32512;
constexpr int WAIT = 32514;        // hourglass
constexpr int APPSTARTING = 32650; // working in the background

inline Qt::CursorShape ShapeOf(int cursorId) {
  return cursorId == APPSTARTING ? Qt::BusyCursor
         : cursorId == WAIT      ? Qt::WaitCursor
                                 : Qt::ArrowCursor;
}
} // namespace Cursors
