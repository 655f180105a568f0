#include "base/failure.h"

#include <new>

namespace ostrevane {

Text DescribeCaughtException() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure.description();
  } catch (const std::bad_alloc&) {
    return failure_text::kOutOfMemory;
  } catch (const std::exception& error) {
    return FromUtf8(error.what());
  } catch (...) {
    return u"Unknown exception";
  }
}

Text PlaceOf(const Failure& failure) {
  return Text(NamePart(FromUtf8(failure.where().file))) + u":" + DecimalText(failure.where().line);
}

}  // namespace ostrevane
