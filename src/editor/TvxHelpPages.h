#pragma once
// The help pages compiled into the program (pt-BR HTML), each under its context number, and
// the word search of the search page.

#include <QString>

#include <vector>

namespace morvane {

struct TvxHelpPage
{
    int context;
    QString title;
    QString html;   // body only; links to other pages are "ctx:<number>"
};

class TvxHelpPages
{
public:
    static const std::vector<TvxHelpPage>& All();
    // The page of that context, or null when there is none.
    static const TvxHelpPage* Find(int context);
    // Contexts of the pages that hold every word of the query (letter case and accents
    // ignored), in page order; an empty query finds nothing.
    static std::vector<int> Search(const QString& query);
    // Lower case, without accents and tags: the form pages and queries are compared in.
    static QString Normalize(const QString& text);
};

} // namespace morvane
