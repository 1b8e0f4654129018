#include "exercise/Exercise.h"

#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

using TPlace = toml::source_position;

// The parser counts from 1 and uses 0 for a place it does not know: the start then.
int LineOrColumn(toml::source_index index)
{
    return index == 0 ? 1 : static_cast<int>(std::min<toml::source_index>(index, 1u << 30));
}

// Reads one parsed document; every refusal carries the place in the file it is about.
class TExerciseReader {
public:
    explicit TExerciseReader(const std::string& source) : source_(source) {}

    TExercise Read(const toml::table& root)
    {
        TExercise exercise;
        bool haveTitle = false;
        bool haveCases = false;
        for (const TEntry& entry : InFileOrder(root)) {
            const std::string_view key = entry.Key->str();
            const toml::node& value = *entry.Value;
            if (key == "title") {
                exercise.Title = Text(value, "title");
                if (exercise.Title.empty())
                    Refuse(value, "title must not be empty");
                haveTitle = true;
            } else if (key == "max_steps") {
                const std::int64_t steps = WholeNumber(value, "max_steps");
                if (steps <= 0)
                    Refuse(value, "max_steps must be greater than 0, not " + std::to_string(steps));
                exercise.MaxSteps = static_cast<std::uint64_t>(steps);
            } else if (key == "text") {
                exercise.Text = Text(value, "text");
            } else if (key == "starter") {
                exercise.Starter = Text(value, "starter");
            } else if (key == "case") {
                exercise.Cases = Cases(value);
                haveCases = true;
            } else {
                Refuse(entry.Key->source().begin,
                       "'" + std::string(key) +
                           "' is not a key of an exercise (title, max_steps, text, starter, case)");
            }
        }
        // A missing key has no place of its own: the start of the file stands for it.
        if (!haveTitle)
            Refuse(TPlace{1, 1}, "the exercise has no title");
        if (!haveCases || exercise.Cases.empty())
            Refuse(haveCases ? root.get("case")->source().begin : TPlace{1, 1},
                   "the exercise has no case ([[case]])");
        return exercise;
    }

private:
    struct TEntry {
        const toml::key* Key;
        const toml::node* Value;
    };

    // A table's own order is by key; messages and register lists follow the file.
    static std::vector<TEntry> InFileOrder(const toml::table& table)
    {
        std::vector<TEntry> entries;
        for (const auto& [key, value] : table)
            entries.push_back(TEntry{&key, &value});
        std::stable_sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
            const TPlace& x = a.Key->source().begin;
            const TPlace& y = b.Key->source().begin;
            return x.line != y.line ? x.line < y.line : x.column < y.column;
        });
        return entries;
    }

    [[noreturn]] void Refuse(const TPlace& place, const std::string& message) const
    {
        throw EExerciseError(source_, LineOrColumn(place.line), LineOrColumn(place.column),
                             message);
    }
    [[noreturn]] void Refuse(const toml::node& node, const std::string& message) const
    {
        Refuse(node.source().begin, message);
    }

    std::string Text(const toml::node& node, const std::string& what) const
    {
        const auto* text = node.as_string();
        if (!text)
            Refuse(node, what + " must be a text, not " + TypeName(node));
        return text->get();
    }

    std::int64_t WholeNumber(const toml::node& node, const std::string& what) const
    {
        const auto* number = node.as_integer();
        if (!number)
            Refuse(node, what + " must be a whole number, not " + TypeName(node));
        return number->get();
    }

    // A value a register holds or Out prints: 32 bits, with sign.
    std::int32_t Value(const toml::node& node, const std::string& what) const
    {
        const std::int64_t value = WholeNumber(node, what);
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
            Refuse(node, what + " does not fit in 32 bits (-2147483648 to 2147483647)");
        return static_cast<std::int32_t>(value);
    }

    static std::string TypeName(const toml::node& node)
    {
        switch (node.type()) {
        case toml::node_type::string: return "a text";
        case toml::node_type::integer: return "a whole number";
        case toml::node_type::floating_point: return "a number with a fraction";
        case toml::node_type::boolean: return "true or false";
        case toml::node_type::array: return "a list";
        case toml::node_type::table: return "a table";
        default: return "a date or time";
        }
    }

    const toml::array& List(const toml::node& node, const std::string& what) const
    {
        const auto* list = node.as_array();
        if (!list)
            Refuse(node, what + " must be a list, not " + TypeName(node));
        return *list;
    }

    std::vector<TExerciseCase> Cases(const toml::node& node) const
    {
        const toml::array& list = List(node, "case");
        std::vector<TExerciseCase> cases;
        for (std::size_t k = 0; k < list.size(); ++k) {
            const auto* table = list[k].as_table();
            if (!table)
                Refuse(list[k], "a case must be a table ([[case]]), not " + TypeName(list[k]));
            cases.push_back(Case(*table, k + 1));
        }
        return cases;
    }

    TExerciseCase Case(const toml::table& table, std::size_t number) const
    {
        TExerciseCase result;
        result.Name = "case " + std::to_string(number);
        bool haveOutput = false;
        for (const TEntry& entry : InFileOrder(table)) {
            const std::string_view key = entry.Key->str();
            const toml::node& value = *entry.Value;
            if (key == "name") {
                result.Name = Text(value, "name");
                if (result.Name.empty())
                    Refuse(value, "a case's name must not be empty");
            } else if (key == "input") {
                const toml::array& items = List(value, "input");
                for (std::size_t i = 0; i < items.size(); ++i)
                    result.Input.push_back(InputItem(items[i], i + 1));
            } else if (key == "output") {
                const toml::array& items = List(value, "output");
                for (std::size_t i = 0; i < items.size(); ++i)
                    result.Output.push_back(Value(items[i], "output " + std::to_string(i + 1)));
                haveOutput = true;
            } else if (key == "registers") {
                result.Registers = Registers(value);
            } else {
                Refuse(entry.Key->source().begin,
                       "'" + std::string(key) +
                           "' is not a key of a case (name, input, output, registers)");
            }
        }
        if (!haveOutput)
            Refuse(table.source().begin, result.Name + " has no output");
        return result;
    }

    // In reads text, so a whole number stands for its decimal text.
    std::string InputItem(const toml::node& node, std::size_t number) const
    {
        if (const auto* text = node.as_string())
            return text->get();
        if (const auto* whole = node.as_integer())
            return std::to_string(whole->get());
        Refuse(node, "input " + std::to_string(number) + " must be a text or a whole number, not " +
                         TypeName(node));
    }

    std::vector<std::pair<int, std::int32_t>> Registers(const toml::node& node) const
    {
        const auto* table = node.as_table();
        if (!table)
            Refuse(node, "registers must be a table, e.g. { R1 = 42 }, not " + TypeName(node));
        std::vector<std::pair<int, std::int32_t>> registers;
        for (const TEntry& entry : InFileOrder(*table)) {
            const std::string name(entry.Key->str());
            const std::optional<int> number = RegisterNumber(name);
            if (!number)
                Refuse(entry.Key->source().begin,
                       "'" + name + "' is not a register (R1 to R15, with a capital R)");
            registers.emplace_back(*number, Value(*entry.Value, name));
        }
        return registers;
    }

    // "R1" to "R15" exactly: a capital R and the number without leading zeros.
    static std::optional<int> RegisterNumber(const std::string& name)
    {
        if (name.size() < 2 || name.size() > 3 || name[0] != 'R' || name[1] == '0')
            return std::nullopt;
        int number = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9')
                return std::nullopt;
            number = number * 10 + (name[i] - '0');
        }
        if (number < 1 || number > 15)
            return std::nullopt;
        return number;
    }

    const std::string& source_;
};

std::string Located(const std::string& source, int line, int column, const std::string& message)
{
    return source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

} // namespace

EExerciseError::EExerciseError(const std::string& source, int line, int column,
                               const std::string& message)
    : std::runtime_error(Located(source, line, column, message)), line_(line), column_(column),
      message_(message)
{
}

TExercise ReadExercise(std::string_view text, const std::string& source)
{
    toml::table root;
    try {
        root = toml::parse(text, source);
    } catch (const toml::parse_error& error) {
        const TPlace& at = error.source().begin;
        throw EExerciseError(source, LineOrColumn(at.line), LineOrColumn(at.column),
                             std::string(error.description()));
    }
    return TExerciseReader(source).Read(root);
}
