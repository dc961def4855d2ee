#include "dataexport/RecordSource.h"

#include "platform/Text.h"

namespace dataexport {

int RecordSource::IndexOfName(const std::string& name) {
  for (int i = 0; i < FieldCount(); ++i)  // "name" and "Name" are two fields
    if (Field(i).Name == name) return i;
  for (int i = 0; i < FieldCount(); ++i)
    if (platform::SameText(Field(i).Name, name)) return i;
  return -1;
}

}  // namespace dataexport
