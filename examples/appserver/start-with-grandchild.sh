#!/bin/sh
# Starts the demo server the way servlet start scripts often do: through a shell
# that keeps a helper process of its own running beside the server.
here=$(dirname "$0")
sleep 300 &
"$here/velta-demo-server" "$@" &
wait $!
