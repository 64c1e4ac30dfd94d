#pragma once

#include <QtGlobal>

// Numbers the requests of one kind so that only the answer to the latest one is
// used: a slow search for "ki" that ends after the search for "kiwi" must not
// put its rows under the text "kiwi".
class RequestGenerations {
public:
    // Tags a new request; every request started before it is outdated from now on.
    quint64 start() { return ++latest_; }
    bool isLatest(quint64 generation) const { return generation == latest_; }

private:
    quint64 latest_ = 0;
};
