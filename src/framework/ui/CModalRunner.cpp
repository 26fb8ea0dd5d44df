#include "CModalRunner.h"

#include "CQtModalRunner.h"

template <> CModalRunner& CSeam<CModalRunner>::Default() {
    static CQtModalRunner qtRunner;
    return qtRunner;
}
