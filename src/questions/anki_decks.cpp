#include "questions/anki_decks.h"

#include <algorithm>

namespace questions {

namespace {

int compareLevels(const QStringList& a, const QStringList& b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (const int order = a[i].compare(b[i], Qt::CaseInsensitive))
            return order;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

struct Group {
    QStringList levels;
    std::vector<int> decks;
};

} // namespace

bool ankiDeckBefore(const QStringList& a, const QStringList& b)
{
    if (const int order = compareLevels(a, b))
        return order < 0;
    return a < b; // names that differ only in letter case: a fixed order still
}

std::vector<AnkiDeckGroup> groupAnkiDecks(const std::vector<QStringList>& decks, int maxRows)
{
    std::vector<Group> groups;
    for (int i = 0; i < int(decks.size()); ++i)
        groups.push_back(Group{decks[i], {i}});
    while (int(groups.size()) > maxRows) {
        qsizetype deepest = 0;
        for (const Group& group : groups)
            deepest = std::max(deepest, group.levels.size());
        if (deepest <= 1)
            break;
        // The deepest level joins its parents; in deck order a parent and its
        // subdecks stand together, so joining neighbours with one name is enough.
        std::vector<Group> joined;
        for (Group& group : groups) {
            if (group.levels.size() == deepest)
                group.levels.removeLast();
            if (!joined.empty() && compareLevels(joined.back().levels, group.levels) == 0)
                joined.back().decks.insert(joined.back().decks.end(), group.decks.begin(), group.decks.end());
            else
                joined.push_back(std::move(group));
        }
        groups = std::move(joined);
    }
    std::vector<AnkiDeckGroup> rows;
    for (const Group& group : groups)
        rows.push_back(AnkiDeckGroup{group.levels.join(QStringLiteral("::")), group.decks});
    if (int(rows.size()) > maxRows && maxRows > 0) {
        AnkiDeckGroup rest{QStringLiteral("%1 ほか%2デッキ").arg(rows[maxRows - 1].name).arg(rows.size() - maxRows),
                           {}};
        for (size_t i = size_t(maxRows - 1); i < rows.size(); ++i)
            rest.decks.insert(rest.decks.end(), rows[i].decks.begin(), rows[i].decks.end());
        rows.resize(size_t(maxRows - 1));
        rows.push_back(std::move(rest));
    }
    return rows;
}

} // namespace questions
