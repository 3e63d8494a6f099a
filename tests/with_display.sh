#!/bin/sh
# Runs a GUI test program. Listing its cases needs no display; every run gets a virtual X server
# of its own, since cases run in parallel and read the screen and the keyboard focus.
case " $* " in
*" --gtest_list_tests "*) exec "$@" ;;
esac
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
