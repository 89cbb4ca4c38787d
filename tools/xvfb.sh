#!/bin/sh
# Runs a command in a private X server of its own, on a display it finds free, with one screen
# of 1024 x 768: what the end-to-end tests, the screenshots and the start-up benchmark see.
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -noreset" "$@"
