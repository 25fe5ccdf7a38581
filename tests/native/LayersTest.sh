#!/bin/sh
# Each folder sees the headers of the folders it builds on and no others: a
# header of a folder above, included from below, is not found, and the build
# fails. Compiles one line against each layer's root as the build does.
# Usage: LayersTest.sh COMPILER LAYERS_DIR GENERATED_DIR
set -u
compiler=$1 layers=$2 generated=$3
status=0
check() { # layer header expected(found|missing)
    if printf '#include "%s"\n' "$2" | "$compiler" -std=c++17 -fsyntax-only -I "$layers/$1" -I "$generated" -x c++ - \
        >/dev/null 2>&1; then result=found; else result=missing; fi
    [ "$result" = "$3" ] || { echo "FAILED: from $1, $2 is $result" >&2; status=1; }
}
check system system/RunNames.h found
check system payload/Catalogue.h missing
check system app/CommandLine.h missing
check payload system/Product.h found
check payload install/Plan.h missing
check install payload/Catalogue.h found
check install ui/Pages.h missing
check install app/ExitCode.h missing
check ui payload/Catalogue.h found
check ui install/Plan.h missing
check ui app/CommandLine.h missing
check app install/Plan.h found
check app ui/Pages.h found

# Nor does a call climb back up: an interface of one folder is implemented in
# no other, except the one callback the window needs from each folder below it
# (the window's events to the form, the installation's progress to the window,
# and the wait for running programs, which that progress extends).
allowed="FormEvents InstallProgress CloseWatcher"
source=$(cd -P "$layers/system/system/.." && pwd)
for folder in system payload install ui; do
    interfaces=$(awk '/^(class|struct) [A-Za-z]+/ { name = $2 } /= 0;/ && name { print name; name = "" }' \
        "$source/$folder"/*.h | sort -u)
    for interface in $interfaces; do
        case " $allowed " in *" $interface "*) continue ;; esac
        for other in system payload install ui app; do
            [ "$other" = "$folder" ] && continue
            if grep -lE "(class|struct) [A-Za-z]+( final)? *:[^{;]*\b$interface\b" "$source/$other"/*.h "$source/$other"/*.cpp \
                2>/dev/null | grep -q .; then
                echo "FAILED: $interface of $folder/ is implemented in $other/, a call that climbs" >&2
                status=1
            fi
        done
    done
done

# Nor is a routine of the window's folders that nothing calls kept: each one
# that a header of app/ or ui/ declares is named by the product's code
# somewhere else than where it is declared or defined (a call, or its address
# taken); the tests' calls do not count.
uncalled=$(perl -e '
    my (@headers, %text);
    for my $file (@ARGV) {
        open(my $in, "<", $file) or die "$file: $!";
        local $/;
        ($text{$file} = <$in>) =~ s{//[^\n]*}{}g;
        push @headers, $file if $file =~ m{/(?:app|ui)/[^/]+\.h$};
    }
    # A declaration or a definition: a type, then the name and its parameters.
    my $type = qr/^\s*(?:(?:virtual|static|explicit|inline|constexpr|friend)\s+)*(?!return\b|else\b|case\b)[A-Za-z_][\w:<>,*& ]*?[\s*&]/m;
    for my $header (sort @headers) {
        my %names;
        $names{$1} = 1 while $text{$header} =~ /$type([A-Z]\w*)\s*\(/mg;
        for my $name (sort keys %names) {
            my $named = grep { /\b$name\b/ && !/$type(?:\w+::)?$name\s*\(/ } map { split /\n/ } values %text;
            print " $name" unless $named;
        }
    }' $(ls "$source"/system/*.[ch]* "$source"/payload/*.[ch]* "$source"/install/*.[ch]* "$source"/ui/*.[ch]* \
            "$source"/app/*.[ch]*))
[ -z "$uncalled" ] || { echo "FAILED: nothing calls$uncalled" >&2; status=1; }
exit $status
