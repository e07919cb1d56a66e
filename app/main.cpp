// Placeholder program until the start-up sequence exists: says where its files would be.
#include <cstdio>

int main() {
  std::printf("ledgerix\n");
  return 0;
}
