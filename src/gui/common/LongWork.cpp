// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/LongWork.h"

#include "gui/common/WorkBar.h"

namespace brelo {

void TLongWork::Run(TWorkBar& bar, const QString& what, bool cancellable, const TWork& work) {
  bar_ = &bar;
  what_ = what;
  cancellable_ = cancellable;
  emit Started();
  struct TEnd {
    TLongWork& Work;
    ~TEnd() {
      Work.bar_ = nullptr;
      emit Work.Finished();
    }
  } end{*this};
  bar.Run(cancellable, work);
}

void TLongWork::Cancel() {
  if (bar_ && cancellable_) bar_->Cancel();
}

}  // namespace brelo
