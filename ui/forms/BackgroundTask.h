#pragma once

#include "engine/StoreTypes.h"

#include <functional>

class QString;
class QWidget;

// Runs `work` on a thread of its own under a progress dialog (a busy bar,
// shown when the work takes a moment) whose Cancel makes the keep-going
// question that `work` is given answer false. The windows keep painting
// meanwhile; the dialog is modal, so no command starts under the work.
// `work` must touch nothing of the calling thread but what it captures by
// value, and must use a store connection of its own.
TStoreResult RunInBackground(QWidget* parent, const QString& label,
                             const std::function<TStoreResult(const TStoreKeepGoing&)>& work);
