#pragma once
// The main window's three panes: the outline CNavigateView, the directory pane CDaoqueryView and
// the HTML pane CMediaView.

#include "app/DaoqueryView.h"
#include "app/MediaView.h"
#include "app/NavigateView.h"
