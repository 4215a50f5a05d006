#include "server/vxPicture.h"

#include <cctype>
#include <functional>
#include <memory>
#include <vector>

#include "model/vxTextCase.h"

namespace morvane {

namespace {

constexpr long StepBudget = 200000;

struct Item;
using Sequence = std::vector<Item>;

struct Item
{
    enum class Kind { Digit, Letter, Any, Literal, Optional, Group, Repeat };
    Kind kind = Kind::Literal;
    char literal = 0;
    int count = -1;                   // Repeat: times, -1 for any number
    std::vector<Sequence> branches;   // Optional: one; Group: the alternatives; Repeat: the item
};

class TvxPictureParser
{
public:
    explicit TvxPictureParser(std::string_view p) : p_(p) {}

    bool Parse(Sequence& out)
    {
        if (!ParseSequence(out, '\0'))
            return false;
        return pos_ == p_.size();
    }

private:
    // Reads items up to `end` (not consumed), or a ',' inside a group.
    bool ParseSequence(Sequence& out, char end)
    {
        while (pos_ < p_.size() && p_[pos_] != end && !(end == '}' && p_[pos_] == ',')) {
            Item item;
            if (!ParseItem(item))
                return false;
            out.push_back(std::move(item));
        }
        return end == '\0' || pos_ < p_.size();
    }

    bool ParseItem(Item& item)
    {
        const char c = p_[pos_++];
        switch (c) {
        case '#': item.kind = Item::Kind::Digit; return true;
        case '?':
        case '&': item.kind = Item::Kind::Letter; return true;
        case '@':
        case '!': item.kind = Item::Kind::Any; return true;
        case ';':
            if (pos_ >= p_.size())
                return false;
            item.literal = p_[pos_++];
            return true;
        case '[': {
            item.kind = Item::Kind::Optional;
            item.branches.emplace_back();
            if (!ParseSequence(item.branches.back(), ']'))
                return false;
            ++pos_;
            return true;
        }
        case '{': {
            item.kind = Item::Kind::Group;
            for (;;) {
                item.branches.emplace_back();
                if (!ParseSequence(item.branches.back(), '}'))
                    return false;
                if (p_[pos_++] == '}')
                    return true;
            }
        }
        case '*': {
            item.kind = Item::Kind::Repeat;
            int n = -1;
            while (pos_ < p_.size() && std::isdigit(static_cast<unsigned char>(p_[pos_]))) {
                n = (n < 0 ? 0 : n * 10) + (p_[pos_++] - '0');
                if (n > 255)
                    return false;
            }
            item.count = n;
            if (pos_ >= p_.size())
                return false;
            Item inner;
            if (!ParseItem(inner))
                return false;
            item.branches.push_back(Sequence{std::move(inner)});
            return true;
        }
        case ']':
        case '}':
        case ',': return false;
        default: item.literal = c; return true;
        }
    }

    std::string_view p_;
    std::size_t pos_ = 0;
};

class TvxPictureMatcher
{
public:
    explicit TvxPictureMatcher(std::string_view text) : t_(text) {}
    bool OutOfSteps() const { return steps_ > StepBudget; }

    // Matches s from item i at text position pos, then the continuation.
    bool Seq(const Sequence& s, std::size_t i, std::size_t pos, const std::function<bool(std::size_t)>& k)
    {
        if (++steps_ > StepBudget)
            return false;
        if (i == s.size())
            return k(pos);
        const Item& item = s[i];
        const auto next = [&](std::size_t p) { return Seq(s, i + 1, p, k); };
        switch (item.kind) {
        case Item::Kind::Digit:
            return pos < t_.size() && std::isdigit(static_cast<unsigned char>(t_[pos])) && next(pos + 1);
        case Item::Kind::Letter:
            return pos < t_.size() && IsLetter(t_[pos]) && next(pos + 1);
        case Item::Kind::Any: return pos < t_.size() && next(pos + 1);
        case Item::Kind::Literal:
            return pos < t_.size() && UpperChar(static_cast<unsigned char>(t_[pos])) ==
                                          UpperChar(static_cast<unsigned char>(item.literal)) &&
                   next(pos + 1);
        case Item::Kind::Optional: return Seq(item.branches[0], 0, pos, next) || next(pos);
        case Item::Kind::Group:
            for (const Sequence& b : item.branches)
                if (Seq(b, 0, pos, next))
                    return true;
            return false;
        case Item::Kind::Repeat: return Repeat(item.branches[0], item.count, pos, next);
        }
        return false;
    }

private:
    static bool IsLetter(char c)
    {
        const auto u = static_cast<unsigned char>(c);
        return std::isalpha(u) || (u >= 0xC0 && u != 0xD7 && u != 0xF7) || UpperChar(u) != u;
    }

    // count times (any number when negative), then the continuation.
    bool Repeat(const Sequence& inner, int count, std::size_t pos, const std::function<bool(std::size_t)>& k)
    {
        if (count == 0)
            return k(pos);
        if (count > 0)
            return Seq(inner, 0, pos, [&](std::size_t p) { return Repeat(inner, count - 1, p, k); });
        // Any number: as many as match, giving back one at a time; an empty match ends it.
        return Seq(inner, 0, pos, [&](std::size_t p) { return p > pos && Repeat(inner, -1, p, k); }) || k(pos);
    }

    std::string_view t_;
    long steps_ = 0;
};

} // namespace

TvxPictureMatch MatchPicture(std::string_view picture, std::string_view text)
{
    Sequence items;
    TvxPictureParser parser(picture);
    if (picture.empty() || !parser.Parse(items))
        return TvxPictureMatch::Unknown;
    TvxPictureMatcher matcher(text);
    const bool ok = matcher.Seq(items, 0, 0, [&](std::size_t pos) { return pos == text.size(); });
    if (matcher.OutOfSteps())
        return TvxPictureMatch::Unknown;
    return ok ? TvxPictureMatch::Matches : TvxPictureMatch::Breaks;
}

} // namespace morvane
