#pragma once
// An indexed list that owns its elements. Releasing happens only where the caller asks for it
// (FreeAndDelete, Set, Clear, destruction); Extract hands an element back to the caller.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace geodata {

// The index error of every list of the model; the message names the index.
class EListError : public std::out_of_range {
  public:
    explicit EListError(int index)
        : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}
};

template <class T>
class OwnedList {
  public:
    OwnedList() = default;
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;
    virtual ~OwnedList() { Clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    T& At(int index) const {
        CheckIndex(index);
        return *items_[static_cast<std::size_t>(index)];
    }
    T& First() const { return At(0); }
    T& Last() const { return At(Count() - 1); }

    int Add(std::unique_ptr<T> item) {
        CheckItem(item.get());
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, std::unique_ptr<T> item) {
        if (index < 0 || index > Count()) {
            throw EListError(index);
        }
        CheckItem(item.get());
        items_.insert(items_.begin() + index, std::move(item));
    }
    // Stores `item` at `index` and releases the element it replaces. Storing the element that
    // the entry already holds changes nothing.
    void Set(int index, std::unique_ptr<T> item) {
        CheckIndex(index);
        auto& slot = items_[static_cast<std::size_t>(index)];
        if (item.get() == slot.get()) {
            (void)item.release();  // the same object: keep the one owner it already has
            return;
        }
        CheckItem(item.get());
        slot = std::move(item);
    }
    // Takes the element out of the list without releasing it.
    std::unique_ptr<T> Extract(int index) {
        CheckIndex(index);
        auto item = std::move(items_[static_cast<std::size_t>(index)]);
        items_.erase(items_.begin() + index);
        return item;
    }
    std::unique_ptr<T> Extract(const T* item) {
        const int i = IndexOf(item);
        return i < 0 ? nullptr : Extract(i);
    }
    void FreeAndDelete(int index) { (void)Extract(index); }
    // Releases `count` elements from `from` on.
    void FreeRange(int from, int count) {
        if (count <= 0) {
            return;
        }
        CheckIndex(from);
        CheckIndex(from + count - 1);
        items_.erase(items_.begin() + from, items_.begin() + from + count);
    }

    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (items_[i].get() == item) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    // Releases every element, from the last to the first.
    void Clear() {
        while (!items_.empty()) {
            items_.pop_back();
        }
    }
    // Not stable, like the sort of the class library's list.
    template <class Less>
    void Sort(Less less) {
        std::sort(
            items_.begin(), items_.end(),
            [&](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) { return less(*a, *b); });
    }

  protected:
    void CheckIndex(int index) const {
        if (index < 0 || index >= Count()) {
            throw EListError(index);
        }
    }
    std::vector<std::unique_ptr<T>>& Items() { return items_; }
    const std::vector<std::unique_ptr<T>>& Items() const { return items_; }

  private:
    void CheckItem(const T* item) const {
        if (item == nullptr) {
            throw std::invalid_argument("a list of the model cannot hold an empty entry");
        }
    }

    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace geodata
