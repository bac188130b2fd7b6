#pragma once
// How a web lookup ended. A service that answered that it knows nothing (no place of that name,
// no district there) is told apart from one whose answer could not be had or read (no transfer,
// an error page, text that is not the JSON expected, a status that reports a fault), so that
// the window can say "nothing found" for the first and "the search failed" for the second.
namespace geodata {

class LookupResult {
  public:
    enum class Status { Found, NotFound, Failed };

    constexpr LookupResult(Status status) : status_(status) {}

    constexpr Status status() const { return status_; }
    constexpr bool Found() const { return status_ == Status::Found; }
    constexpr bool Failed() const { return status_ == Status::Failed; }
    constexpr explicit operator bool() const { return Found(); }

  private:
    Status status_;
};

}  // namespace geodata
