// The core set plus the widget headers of the window modules.
#pragma once

#include "CorePch.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QWidget>
