// A generator that hands out given draws in order, then starts over.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

class FixedDraws {
 public:
  explicit FixedDraws(std::vector<double> draws) : draws_(std::move(draws)) {}
  double Next() {
    const double r = draws_[next_];
    next_ = (next_ + 1) % draws_.size();
    ++count_;
    return r;
  }
  std::size_t count() const { return count_; }

 private:
  std::vector<double> draws_;
  std::size_t next_ = 0;
  std::size_t count_ = 0;
};
