#pragma once

#include <QtGlobal>
#include <functional>

// Offered by controllers that can tell how far a listing of their variables has got, for the
// window's progress while a large list is read from a slow device. A controller that does not
// offer it is listed with a busy indicator only.
class IBrowseProgress
{
public:
    virtual ~IBrowseProgress() = default;

    // `done` of `total` steps (for example the entries of a register map read so far). Called on
    // the thread that lists the names, while it lists them.
    using Listener = std::function<void(qint64 done, qint64 total)>;
    // The listener of the listings to come; an empty one ends the reports.
    virtual void setBrowseListener(Listener listener) = 0;
};
