// Base of the two-dimensional arrays: an object array whose elements are the rows.
#pragma once

#include "lang/DObjectArray.h"

namespace qev::lang {

template <class Row> class DArray2dOf : public DObjectArrayOf<Row>
{
  public:
    // Every row null.
    explicit DArray2dOf(int32_t rows) : DObjectArrayOf<Row>(rows) {}
    // Every row a new zero-filled array of cols elements.
    DArray2dOf(int32_t rows, int32_t cols) : DObjectArrayOf<Row>(rows)
    {
        for (int32_t r = 0; r < rows; ++r)
            (*this)[r] = new Row(cols);
    }
};

} // namespace qev::lang
