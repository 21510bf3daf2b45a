// Drives ExtPtrArray and ExtIntArray with arbitrary operation sequences and
// checks every result against a std::vector model. Any difference, leak or
// out-of-bounds access ends the run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/containers/ExtIntArray.h"
#include "foundation/containers/ExtPtrArray.h"

namespace {

using rozazar::ExtIntArray;
using rozazar::ExtPtrArray;
using rozazar::RozazarObject;

class Item : public rozazar::NonRefCountedObj {
 public:
  explicit Item(int id) : id(id) {}
  const int id;
};

// Model value of a slot: the item's id, or -1 for a null slot.
int idOf(RozazarObject* object) { return object != nullptr ? static_cast<Item*>(object)->id : -1; }

void require(bool condition) {
  if (!condition) std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool more() const { return m_position < m_size; }
  std::uint8_t byte() { return more() ? m_data[m_position++] : 0; }
  // Indices around the valid range, negative ones included.
  int index(int count) { return static_cast<int>(static_cast<std::int8_t>(byte())) % (count + 3); }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  ExtPtrArray arrays[2];
  std::vector<int> models[2];
  for (ExtPtrArray& array : arrays) array.setOwnsElements(true);
  ExtIntArray values;
  std::vector<std::int32_t> valueModel;
  int nextId = 0;

  while (input.more()) {
    const std::uint8_t op = input.byte();
    const int which = op & 1;
    ExtPtrArray& array = arrays[which];
    std::vector<int>& model = models[which];
    switch ((op >> 1) % 10) {
      case 0: {
        const int id = nextId++;
        require(array.append(new Item(id)));
        model.push_back(id);
        break;
      }
      case 1:
        require(array.append(nullptr));
        model.push_back(-1);
        break;
      case 2: {
        int at = input.index(array.count());
        const int id = nextId++;
        require(array.insertAt(at, new Item(id)));
        if (at < 0) at = 0;
        if (at > static_cast<int>(model.size())) at = static_cast<int>(model.size());
        model.insert(model.begin() + at, id);
        break;
      }
      case 3: {
        const int at = input.index(array.count());
        const bool inRange = at >= 0 && at < static_cast<int>(model.size());
        require(idOf(array.getAt(at)) == (inRange ? model[static_cast<std::size_t>(at)] : -1));
        break;
      }
      case 4: {
        const int at = input.index(array.count());
        RozazarObject* removed = array.removeAt(at);
        if (at >= 0 && at < static_cast<int>(model.size())) {
          require(idOf(removed) == model[static_cast<std::size_t>(at)]);
          model.erase(model.begin() + at);
        } else {
          require(removed == nullptr);
        }
        RozazarObject::deleteObject(removed);
        break;
      }
      case 5: {
        RozazarObject* last = array.popLast();
        require(idOf(last) == (model.empty() ? -1 : model.back()));
        if (!model.empty()) model.pop_back();
        RozazarObject::deleteObject(last);
        break;
      }
      case 6: {
        ExtPtrArray& other = arrays[1 - which];
        std::vector<int>& otherModel = models[1 - which];
        require(array.takeAllFrom(other));
        for (int id : otherModel)
          if (id >= 0) model.push_back(id);
        otherModel.clear();
        break;
      }
      case 7:
        array.deleteAll();
        model.clear();
        break;
      case 8: {
        const auto value =
            static_cast<std::int32_t>(std::uint32_t{input.byte()} << 24 | input.byte());
        require(values.push(value));
        valueModel.push_back(value);
        break;
      }
      case 9: {
        require(values.popLast() == (valueModel.empty() ? 0 : valueModel.back()));
        if (!valueModel.empty()) valueModel.pop_back();
        const int at = input.index(values.count());
        const bool inRange = at >= 0 && at < static_cast<int>(valueModel.size());
        require(values.getAt(at) == (inRange ? valueModel[static_cast<std::size_t>(at)] : 0));
        break;
      }
    }
    require(array.count() == static_cast<int>(model.size()));
    require(array.capacity() >= array.count());
    require(values.count() == static_cast<int>(valueModel.size()));
  }
  for (int which = 0; which < 2; ++which) {
    for (int i = 0; i < arrays[which].count(); ++i)
      require(idOf(arrays[which].getAt(i)) == models[which][static_cast<std::size_t>(i)]);
  }
  return 0;
}
