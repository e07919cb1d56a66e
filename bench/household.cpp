#include "bench/household.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

#include "access/db_transaction.h"
#include "finance/date_key.h"
#include "finance/packed_amount.h"
#include "finance/type_code.h"

namespace ledgerix::bench {
namespace {

// The same numbers on every host and compiler: std's distributions are not fixed by the
// standard, so the draws are made here from splitmix64.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 <= n < bound.
  int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }
  // A fraction in [0, 1).
  double Fraction() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

 private:
  uint64_t state_;
};

struct Category {
  const char* name;
  int direction;  // kIncome or kExpense
  double typical_price;
};

// The transfer category comes first; its three kinds are those a transfer books against.
constexpr std::array<Category, kHouseholdCategories> kCategories = {{
    {"Перевод между счетами", kExpense, 0},
    {"Основной доход", kIncome, 45000},
    {"Премии", kIncome, 15000},
    {"Проценты", kIncome, 800},
    {"Подработка", kIncome, 6000},
    {"Продукты", kExpense, 350},
    {"Кафе и рестораны", kExpense, 900},
    {"Проезд", kExpense, 60},
    {"Машина", kExpense, 1500},
    {"Квартира", kExpense, 4000},
    {"Связь", kExpense, 500},
    {"Одежда", kExpense, 2500},
    {"Обувь", kExpense, 3000},
    {"Здоровье", kExpense, 1200},
    {"Аптека", kExpense, 400},
    {"Развлечения", kExpense, 700},
    {"Кино и театр", kExpense, 600},
    {"Книги", kExpense, 450},
    {"Дети", kExpense, 1100},
    {"Школа", kExpense, 1300},
    {"Спорт", kExpense, 900},
    {"Подарки", kExpense, 1500},
    {"Дом и ремонт", kExpense, 2200},
    {"Техника", kExpense, 9000},
    {"Отпуск", kExpense, 12000},
    {"Животные", kExpense, 500},
    {"Красота", kExpense, 800},
    {"Хозяйство", kExpense, 300},
    {"Налоги и сборы", kExpense, 3500},
    {"Прочие расходы", kExpense, 250},
}};

constexpr std::array<const char*, kHouseholdAccounts> kAccountNames = {
    "Наличные", "Кредитная карта", "Зарплатная карта", "Сберегательный счёт", "Валютный счёт"};

constexpr std::array<const char*, 8> kNotes = {"на неделю",   "по акции",     "подарок маме",
                                               "со скидкой",  "в дорогу",     "к празднику",
                                               "долг Сергею", "за два месяца"};

// Kind ids are the seconds of the moment a kind was made, as the kinds screen takes them: here
// moments of the household's first months, one for each kind in order.
constexpr int32_t kFirstKindId = 1262304000;  // 1 January 2010, 00:00 UTC
constexpr int32_t kKindIdStep = 7207;

std::chrono::sys_days FirstDay() {
  return std::chrono::sys_days(std::chrono::year(kHouseholdFirstYear) / 1 / 1);
}

// Rounds to whole hundredths, as a price typed on the screen is.
double Hundredths(double amount) {
  return static_cast<double>(static_cast<int64_t>(amount * 100 + 0.5)) / 100;
}

std::vector<KindRecord> MakeKinds(Random& random) {
  std::vector<KindRecord> kinds;
  const std::array<const char*, 3> transfer_names = {"Списание со счета", "Комиссия",
                                                     "Поступление на счет"};
  for (int i = 0; i < kHouseholdKinds; ++i) {
    KindRecord kind;
    kind.id = kFirstKindId + i * kKindIdStep;
    if (i < 3) {
      kind.name = FromUtf8(transfer_names[static_cast<size_t>(i)]);
      kind.category = FromUtf8(kCategories[0].name);
      kind.type = i == 2 ? kIncome : kExpense;
    } else {
      // The other kinds go round the other 29 categories.
      const Category& category =
          kCategories[static_cast<size_t>(1 + (i - 3) % (kHouseholdCategories - 1))];
      const int number = 1 + (i - 3) / (kHouseholdCategories - 1);
      kind.name = FromUtf8(std::string(category.name) + " №" + std::to_string(number));
      kind.category = FromUtf8(category.name);
      kind.type = category.direction;
      kind.price = Hundredths(category.typical_price * (0.5 + random.Fraction()));
    }
    kinds.push_back(std::move(kind));
  }
  return kinds;
}

std::vector<AccountRecord> MakeAccounts() {
  std::vector<AccountRecord> accounts;
  for (int i = 0; i < kHouseholdAccounts; ++i) {
    AccountRecord account;
    account.id = i + 1;
    account.name = FromUtf8(kAccountNames[static_cast<size_t>(i)]);
    accounts.push_back(std::move(account));
  }
  return accounts;
}

// Draws kinds of one direction, the first ones of the list far more often than the last ones,
// as a household buys bread more often than a television.
class KindPicker {
 public:
  KindPicker(const std::vector<KindRecord>& kinds, int direction) {
    double total = 0;
    for (size_t i = 3; i < kinds.size(); ++i) {
      if (kinds[i].type != direction) continue;
      total += 1.0 / static_cast<double>(1 + indices_.size());
      indices_.push_back(i);
      cumulative_.push_back(total);
    }
  }

  size_t Pick(Random& random) const {
    const double point = random.Fraction() * cumulative_.back();
    const auto at = std::upper_bound(cumulative_.begin(), cumulative_.end(), point);
    return indices_[std::min(static_cast<size_t>(at - cumulative_.begin()), indices_.size() - 1)];
  }

 private:
  std::vector<size_t> indices_;
  std::vector<double> cumulative_;
};

struct Booking {
  int day = 0;
  EntryRecord entry;
};

EntryRecord Entry(const KindRecord& kind, double price, double count, int32_t account_id,
                  bool plus) {
  EntryRecord entry;
  entry.kind_id = kind.id;
  entry.price = price;
  entry.count = count;
  entry.type = MakeTypeCode(kind.type, plus);
  entry.mark = plus ? 1 : 0;
  entry.account_id = account_id;
  return entry;
}

// A transfer as the transfer screen books it: the commission (when there is one) and the amount
// against the payer, the amount for the receiver; count 1, no note.
void AddTransfer(const std::vector<KindRecord>& kinds, Random& random, int day,
                 std::vector<Booking>* out) {
  const int32_t payer = 1 + random.Below(kHouseholdAccounts);
  const int32_t receiver = 1 + (payer + random.Below(kHouseholdAccounts - 1)) % kHouseholdAccounts;
  const double amount = Hundredths(1000 + random.Fraction() * 30000);
  if (random.Below(2) == 0) {
    out->push_back({day, Entry(kinds[1], Hundredths(amount * 0.01), 1, payer, false)});
  }
  out->push_back({day, Entry(kinds[0], amount, 1, payer, false)});
  out->push_back({day, Entry(kinds[2], amount, 1, receiver, false)});
}

double DrawCount(Random& random) {
  const int draw = random.Below(10);
  if (draw < 7) return 1;
  if (draw < 9) return 2 + random.Below(3);
  return Hundredths(0.25 + random.Fraction() * 2);  // by weight
}

int32_t DrawSpendingAccount(Random& random) {
  const int draw = random.Below(20);
  if (draw < 9) return 1;   // cash
  if (draw < 15) return 2;  // credit card
  if (draw < 19) return 3;  // salary card
  return 4 + random.Below(2);
}

}  // namespace

int HouseholdDayCount() {
  const std::chrono::sys_days end(std::chrono::year(kHouseholdFirstYear + kHouseholdYears) / 1 / 1);
  return static_cast<int>((end - FirstDay()).count());
}

int32_t HouseholdDateKey(int day_index) {
  const std::chrono::year_month_day date(FirstDay() + std::chrono::days(day_index));
  return BuildDateKey(static_cast<int>(static_cast<unsigned>(date.day())),
                      static_cast<int>(static_cast<unsigned>(date.month())),
                      static_cast<int>(date.year()));
}

Household MakeHousehold(const HouseholdOptions& options) {
  Random random(options.seed);
  Household household;
  household.accounts = MakeAccounts();
  household.kinds = MakeKinds(random);
  const int total = std::max(options.entries, 0);
  const int days = HouseholdDayCount();
  const KindPicker income(household.kinds, kIncome);
  const KindPicker spending(household.kinds, kExpense);

  // About one entry in forty is income and one in sixty belongs to a transfer; the rest is
  // spending. Each booking falls on a day drawn from the ten years.
  std::vector<Booking> bookings;
  bookings.reserve(static_cast<size_t>(total) + 3);
  const int transfers = total / 150;
  for (int i = 0; i < transfers; ++i)
    AddTransfer(household.kinds, random, random.Below(days), &bookings);
  const int incomes = total / 40;
  for (int i = 0; i < incomes; ++i) {
    const KindRecord& kind = household.kinds[income.Pick(random)];
    const double price = Hundredths(kind.price * (0.8 + random.Fraction() * 0.4));
    bookings.push_back({random.Below(days), Entry(kind, price, 1, 3 - random.Below(2) * 2, false)});
  }
  while (static_cast<int>(bookings.size()) < total) {
    const KindRecord& kind = household.kinds[spending.Pick(random)];
    const double price = Hundredths(kind.price * (0.5 + random.Fraction()));
    Booking booking{random.Below(days), Entry(kind, price, DrawCount(random),
                                              DrawSpendingAccount(random), random.Below(30) == 0)};
    if (random.Below(5) == 0) {
      booking.entry.note = FromUtf8(kNotes[static_cast<size_t>(random.Below(kNotes.size()))]);
    }
    bookings.push_back(std::move(booking));
  }

  std::stable_sort(bookings.begin(), bookings.end(),
                   [](const Booking& a, const Booking& b) { return a.day < b.day; });
  household.entries.reserve(bookings.size());
  for (Booking& booking : bookings) {
    booking.entry.date = HouseholdDateKey(booking.day);
    household.entries.push_back(std::move(booking.entry));
  }
  return household;
}

int WriteHousehold(const Household& household, FinanceDb& db) {
  if (!db.DeleteAllData()) return 0;
  for (const AccountRecord& account : household.accounts) {
    if (!db.AddAccount(account)) return 0;
  }
  for (const KindRecord& kind : household.kinds) {
    if (!db.AddKind(kind)) return 0;
  }
  std::vector<const EntryRecord*> order;
  order.reserve(household.entries.size());
  for (const EntryRecord& entry : household.entries) order.push_back(&entry);
  std::stable_sort(order.begin(), order.end(), [](const EntryRecord* a, const EntryRecord* b) {
    return a->kind_id < b->kind_id;
  });
  // One transaction for all of them: a journal sync per entry would take the file database
  // hours at 200,000 entries. What is stored is the same.
  DbTransaction transaction(db.Connection());
  if (!transaction.active()) return 0;
  for (const EntryRecord* entry : order) {
    if (!db.AddEntry(*entry)) return 0;
  }
  return transaction.Commit() ? 1 : 0;
}

std::string EntriesInDateOrder(const std::string& archive_text) {
  const std::string header = std::string(kEntriesTable) + "\r\n";
  const size_t begin = archive_text.find(header);
  if (begin == std::string::npos) return archive_text;
  const size_t first = begin + header.size();
  if (archive_text.compare(first, 2, "\r\n") == 0) return archive_text;  // no entries
  // The section ends at its blank line (or with the text).
  size_t end = archive_text.find("\r\n\r\n", first);
  end = end == std::string::npos ? archive_text.size() : end + 2;
  std::vector<std::pair<uint32_t, std::string>> lines;
  for (size_t at = first; at < end;) {
    size_t stop = archive_text.find("\r\n", at);
    if (stop == std::string::npos || stop > end) stop = end;
    std::string line = archive_text.substr(at, stop - at);
    // The date is the second field.
    const size_t semicolon = line.find(';');
    const int32_t date =
        semicolon == std::string::npos ? 0 : std::atoi(line.c_str() + semicolon + 1);
    lines.emplace_back(DayOrdinal(date), std::move(line));
    at = stop + 2;
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string text = archive_text.substr(0, first);
  for (const auto& line : lines) text += line.second + "\r\n";
  text += archive_text.substr(end);
  return text;
}

std::string HouseholdExchangeText(const bench::Household& household) {
  std::string text = "[sec_consumeritems]\r\n";
  for (const KindRecord& kind : household.kinds) {
    text += std::to_string(kind.id) + ";" + std::string(kind.name.View()) + ";" +
            std::string(kind.category.View()) + ";" + std::to_string(PackAmount(kind.price)) + ";" +
            std::to_string(kind.type) + ";0;\r\n";
  }
  text += "\r\n[sec_data]\r\n";
  for (const EntryRecord& entry : household.entries) {
    text += std::to_string(entry.kind_id) + ";" + std::to_string(entry.date) + ";" +
            std::to_string(PackAmount(entry.price)) + ";" +
            std::to_string(PackAmount(entry.count)) + ";" + std::to_string(entry.type) + ";" +
            std::string(entry.note.View()) + ";" + std::to_string(entry.account_id) + ";0;\r\n";
  }
  text += "\r\n[sec_firms]\r\n";
  for (const AccountRecord& account : household.accounts) {
    text += std::to_string(account.id) + ";" + std::string(account.name.View()) + ";" +
            std::string(account.note.View()) + ";0;\r\n";
  }
  return text;
}

}  // namespace ledgerix::bench
