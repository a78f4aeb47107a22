#!/bin/sh
# Starts the window when there is a display; otherwise explains why not and runs the demo.
set -e
BUILD_DIR="${1:-build}"
cd "$(dirname "$0")/.."
APP="$BUILD_DIR/src/app/tessival"
if [ -x "$APP" ] && { [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; }; then
    exec "$APP"
fi
if [ ! -x "$APP" ]; then
    echo "The Tessival window is not part of this build yet; running the headless demo instead."
else
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open."
    echo "Running the headless demo instead. To see the window: xvfb-run -a $APP"
fi
exec ./scripts/demo.sh "$BUILD_DIR"
