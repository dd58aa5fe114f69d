# Sourced by the consumer tests: the environment answer.c and answer.cpp run
# in, and what each prints there.
export RAVLINHOME=/opt/r TAZLO_HOME=/opt/t
c_answer="/opt/r/prog /tmp 0" cxx_answer="/opt/t/prog/docu dflt 0"
